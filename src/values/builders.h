// Answer value makers (JavaScript thread only). Fire and forget: a value
// that cannot be created is logged and handed to its record's builder as
// undefined, which leaves its key out; the caller goes on. A short string
// is the one every answer of the environment shares for its text
// (env_cache::shared_text).
#pragma once

#include <node_api.h>

#include <cstddef>
#include <cstdint>

namespace cifs {

// A string a maker made: the string itself or, for a short text that every
// answer of the environment shares (env_cache::shared_text), the slot where
// that string is held. A record builder reads a held string in place, so
// neither it nor its slot crosses into native code as a value (field::of);
// where a napi_value is wanted, the text converts to the string, fetched
// from its slot. Null when nothing was made (the maker logged why) or,
// never expected, the fetch failed.
class made_text {
 public:
  made_text() = default;
  made_text(napi_value value) : value_(value) {}  // a string made now
  static made_text held(napi_env env, uint32_t slot) { return made_text(env, slot); }
  bool is_held() const { return env_ != nullptr; }
  bool is_made() const { return is_held() || value_ != nullptr; }
  uint32_t slot() const { return slot_; }
  napi_value value() const;
  operator napi_value() const { return value(); }

 private:
  made_text(napi_env env, uint32_t slot) : env_(env), slot_(slot) {}
  napi_value value_ = nullptr;
  napi_env env_ = nullptr;  // set for a held string
  uint32_t slot_ = 0;
};

// A string of `length` bytes of UTF-8 (`text` null: the empty string), the
// one way every builder makes its strings.
napi_status new_string(napi_env env, const char *text, size_t length, napi_value *value);

// A string of `length` bytes (`text` null: the empty string) made now, not
// shared, or null after the line create_string_utf8 logs for `key`.
napi_value new_string_value(napi_env env, const char *key, const char *text, size_t length);

// Value makers: the JavaScript value of a builder, or null after logging the
// builder's own failure line (`key` names the answer key in it). The record
// builders make every value of a record this way before the record exists.
made_text make_string_utf8(napi_env env, const char *key, const char *text, size_t length);
made_text make_uint32_to_string_utf8(napi_env env, const char *key, uint32_t value);
made_text make_uint64_to_string_utf8(napi_env env, const char *key, uint64_t value);
napi_value make_boolean(napi_env env, const char *key, uint8_t value);
napi_value make_int64(napi_env env, const char *key, int64_t value);
napi_value make_uint32(napi_env env, const char *key, uint32_t value);
napi_value make_int32(napi_env env, const char *key, int32_t value);

// An element string of add_string_to_array, or null after its failure line.
made_text make_array_string(napi_env env, const char *text, size_t length);

}  // namespace cifs
