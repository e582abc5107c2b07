#include "module/envelopes.h"

#include "module/log.h"
#include "values/builders.h"
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

}  // namespace cifs
