// Answer value makers (JavaScript thread only). Fire and forget: a value
// that cannot be created is logged and handed to its record's builder as
// undefined, which leaves its key out; the caller goes on.
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

}  // namespace cifs
