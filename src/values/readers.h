// Typed readers of request values (JavaScript thread only). Each returns a
// reader status (0 or a module code) and logs its own failure; the caller
// records the failure in the request instance.
#pragma once

#include <node_api.h>

#include <cstddef>
#include <cstdint>

#include "base/error_codes.h"

namespace cifs {

// True only when the key is present (own or inherited); a failed query is "absent".
bool validate_key(napi_env env, napi_value object, const char *key);
// True only when the value's type is `expected`.
bool validate_napi_key_type(napi_env env, napi_value value, napi_valuetype expected);

// Copies a string property into `buffer` (at most buffer_size - 1 bytes, cut silently).
uint32_t get_named_property_to_string(napi_env env, napi_value object, const char *key, char *buffer,
                                      size_t buffer_size);
// Reads a string property of any length into a new calloc'd buffer. The caller
// owns `*text` (release with free) from the allocation on, failure or not.
uint32_t get_named_property_to_string_ext(napi_env env, napi_value object, const char *key, char **text);
// As above, for a value already in hand (a list element); `key` names the list in log lines.
uint32_t get_named_value_to_string(napi_env env, napi_value value, const char *key, char **text);
// Number readers: an absent key or a non-number leaves `*number` unchanged and returns 0.
uint32_t get_named_property_to_uint32(napi_env env, napi_value object, const char *key, uint32_t *number);
uint32_t get_named_property_to_int32(napi_env env, napi_value object, const char *key, int32_t *number);

}  // namespace cifs
