// Answer value builders (JavaScript thread only). Fire and forget: a value
// that cannot be created is logged and left out; the caller goes on.
#pragma once

#include <node_api.h>

#include <cstddef>
#include <cstdint>

namespace cifs {

// A string of `length` bytes of UTF-8 (`text` null: the empty string), the
// one way every builder makes its strings.
napi_status new_string(napi_env env, const char *text, size_t length, napi_value *value);

// Value makers: the JavaScript value of a builder, or null after logging the
// builder's own failure line (`key` names the answer key in it). The record
// builders make every value of a record this way before the record exists.
napi_value make_string_utf8(napi_env env, const char *key, const char *text, size_t length);
napi_value make_uint32_to_string_utf8(napi_env env, const char *key, uint32_t value);
napi_value make_uint64_to_string_utf8(napi_env env, const char *key, uint64_t value);
napi_value make_boolean(napi_env env, const char *key, uint8_t value);
napi_value make_int64(napi_env env, const char *key, int64_t value);
napi_value make_uint32(napi_env env, const char *key, uint32_t value);
napi_value make_int32(napi_env env, const char *key, int32_t value);

// An element string of add_string_to_array, or null after its failure line.
napi_value make_array_string(napi_env env, const char *text, size_t length);

// Property builders: make the value and set it on `object` under `key`.

void create_string_utf8(napi_env env, napi_value object, const char *key, const char *text);
// Like create_string_utf8, for a text of known length that need not be NUL-terminated.
void create_string_utf8_n(napi_env env, napi_value object, const char *key, const char *text, size_t length);
void create_uint32_to_string_utf8(napi_env env, napi_value object, const char *key, uint32_t value);
void create_uint64_to_string_utf8(napi_env env, napi_value object, const char *key, uint64_t value);
void create_boolean(napi_env env, napi_value object, const char *key, uint8_t value);
void create_int64(napi_env env, napi_value object, const char *key, int64_t value);
void create_uint32(napi_env env, napi_value object, const char *key, uint32_t value);
void create_int32(napi_env env, napi_value object, const char *key, int32_t value);

void add_string_to_array(napi_env env, const char *text, uint32_t index, napi_value array);
// Like add_string_to_array, for a text of known length that need not be NUL-terminated.
void add_string_to_array_n(napi_env env, const char *text, size_t length, uint32_t index, napi_value array);
// Reports its failure: writes the text into `message` (129 bytes) and returns the status.
napi_status add_string_to_array_ext(napi_env env, napi_value array, uint32_t index, const char *text,
                                    char *message);

}  // namespace cifs
