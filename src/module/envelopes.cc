#include "module/envelopes.h"

#include <cstring>

#include "module/log.h"
#include "values/builders.h"
#include "values/env_cache.h"
#include "values/keys.h"

namespace cifs {

void success_json(napi_env env, const char *operation_name, napi_value *result) {
  create_string_utf8(env, *result, ckey(k_status), "success");
  create_string_utf8(env, *result, ckey(k_operation), operation_name);
}

void error_json(napi_env env, uint32_t error_code, const char *message, const char *tag, const char *key,
                const char *operation_name, napi_value *result) {
  create_string_utf8(env, *result, ckey(k_status), "failure");
  create_string_utf8(env, *result, ckey(k_operation), operation_name);
  napi_value error;
  napi_status status = napi_create_object(env, &error);
  if (status != napi_ok) {
    LOG_ERROR("Failed to create napi object to error info, error: %d", status);
    return;
  }
  // Codes with all bits set reach JavaScript as -1.
  create_int64(env, error, ckey(k_error_code), static_cast<int32_t>(error_code));
  create_string_utf8(env, error, ckey(k_description), message);
  if (tag != nullptr && tag[0] != '\0') {
    create_string_utf8(env, error, ckey(k_error_id), tag);
    if (key != nullptr && key[0] != '\0') create_string_utf8(env, error, ckey(k_args), key);
  }
  status = napi_set_named_property(env, *result, ckey(k_error), error);
  if (status != napi_ok) LOG_ERROR("Failed to set error object to json, error: %d", status);
}

napi_value build_error_object(napi_env env, const answer_kit &kit, uint32_t error_code, const char *message,
                              const char *tag, const char *key) {
  if (kit.cache() == nullptr) return nullptr;
  const bool has_tag = tag != nullptr && tag[0] != '\0';
  const bool has_key = has_tag && key != nullptr && key[0] != '\0';
  const field error_fields[] = {
      field::of(make_int64(env, ckey(k_error_code), static_cast<int32_t>(error_code))),  // all bits set: -1
      field::of(make_string_utf8(env, ckey(k_description), message, message ? std::strlen(message) : 0)),
      has_tag ? field::of(make_string_utf8(env, ckey(k_error_id), tag, std::strlen(tag))) : field::none(),
      has_key ? field::of(make_string_utf8(env, ckey(k_args), key, std::strlen(key))) : field::none(),
  };
  return build_record(env, kit, r_error_object, error_fields).object;
}

napi_value build_envelope(napi_env env, const answer_kit &kit, uint32_t error_code, const char *message,
                          const char *tag, const char *key, fixed_text operation) {
  if (kit.cache() == nullptr) return nullptr;
  if (error_code == 0) {
    const field fields[] = {field::fixed(t_success), field::fixed(operation)};
    return build_record(env, kit, r_success_envelope, fields).object;
  }
  napi_value error = build_error_object(env, kit, error_code, message, tag, key);
  if (error == nullptr) return nullptr;
  const field fields[] = {field::fixed(t_failure), field::fixed(operation), field::of(error)};
  return build_record(env, kit, r_failure_envelope, fields).object;
}

}  // namespace cifs
