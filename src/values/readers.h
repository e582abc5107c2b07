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
// For a value already in hand (a list element; `key` names the list in log
// lines, as get_named_value_to_string), in two steps, so a caller can weigh
// a text before it copies it: the UTF-8 length of a string value, without a
// copy; and a copy of its first `length` bytes at most (never half a
// character) into a new calloc'd buffer owned as above. A NUL among the
// bytes copied refuses the text.
uint32_t get_value_string_length(napi_env env, napi_value value, const char *key, size_t *length);
uint32_t copy_value_string(napi_env env, napi_value value, const char *key, size_t length, char **text);
// Number readers: an absent key or a non-number leaves `*number` unchanged and returns 0.
uint32_t get_named_property_to_uint32(napi_env env, napi_value object, const char *key, uint32_t *number);
uint32_t get_named_property_to_int32(napi_env env, napi_value object, const char *key, int32_t *number);

}  // namespace cifs
