// The success and error frames of every answer (JavaScript thread only).
#pragma once

#include <node_api.h>

#include <cstdint>

namespace cifs {

void success_json(napi_env env, const char *operation_name, napi_value *result);
// `message`, `tag` and `key` may be null; a key is delivered only with a tag.
void error_json(napi_env env, uint32_t error_code, const char *message, const char *tag, const char *key,
                const char *operation_name, napi_value *result);

}  // namespace cifs
