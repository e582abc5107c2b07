#include "values/envelopes.h"

#include <cstring>

#include "base/log.h"
#include "values/builders.h"
#include "values/env_cache.h"
#include "values/keys.h"

namespace cifs {

namespace {

bool present(const char *text) { return text != nullptr && text[0] != '\0'; }

napi_value text_value(napi_env env, comn_key key, const char *text) {
  return make_string_utf8(env, ckey(key), text, text ? std::strlen(text) : 0);
}

}  // namespace

napi_value error_json(napi_env env, const answer_kit &kit, uint32_t error_code, const char *message, const char *tag,
                      const char *key) {
  const field fields[] = {
      field::of(make_int64(env, ckey(k_error_code), static_cast<int32_t>(error_code))),  // all bits set: -1
      field::of(text_value(env, k_description, message)),
      present(tag) ? field::of(text_value(env, k_error_id, tag)) : field::none(),
      present(tag) && present(key) ? field::of(text_value(env, k_args, key)) : field::none(),
  };
  const napi_value error = build_record<r_error_object>(env, kit, fields).object;
  if (error == nullptr) LOG_ERROR("Failed to create napi object to error info, error: %d", napi_generic_failure);
  return error;
}

}  // namespace cifs
