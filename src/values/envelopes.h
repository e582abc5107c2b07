// The error frame of a failed answer (JavaScript thread only). The answer
// itself is made in one call of the environment's answer builder
// (answer_kit::make_answer), after the operation's converter, with status,
// operation, this error object and the keys the converter held for it.
#pragma once

#include <node_api.h>

#include <cstdint>

namespace cifs {

class answer_kit;

// The error object: errorCode, the description, errorID when `tag` is not
// empty and args when `key` is not empty too (a key without a tag is not
// delivered). `message`, `tag` and `key` may be null. Null, after logging,
// when it cannot be made: the answer then goes without it.
napi_value error_json(napi_env env, const answer_kit &kit, uint32_t error_code, const char *message, const char *tag,
                      const char *key);

}  // namespace cifs
