// The success and error frames of every answer (JavaScript thread only).
#pragma once

#include <node_api.h>

#include <cstdint>

#include "values/answer_texts.h"

namespace cifs {

class answer_kit;

void success_json(napi_env env, const char *operation_name, napi_value *result);
// `message`, `tag` and `key` may be null; a key is delivered only with a tag.
void error_json(napi_env env, uint32_t error_code, const char *message, const char *tag, const char *key,
                const char *operation_name, napi_value *result);

// The envelope as a new object, each object of it made in one step through
// the environment's record builders: the success envelope when `error_code`
// is 0, else the error envelope with the same keys error_json sets. Null
// when the builders cannot make it; the caller then builds it key by key.
// The error object of error_json, made in one step; null when the builders
// cannot make it.
napi_value build_error_object(napi_env env, const answer_kit &kit, uint32_t error_code, const char *message,
                              const char *tag, const char *key);

napi_value build_envelope(napi_env env, const answer_kit &kit, uint32_t error_code, const char *message,
                          const char *tag, const char *key, fixed_text operation);

}  // namespace cifs
