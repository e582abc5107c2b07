#include "values/builders.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "base/log.h"
#include "base/bounded_text.h"
#include "values/env_cache.h"

namespace cifs {

namespace {

bool is_ascii(const char *text, size_t length) {
  unsigned char any = 0;
  for (size_t i = 0; i < length; ++i) any |= static_cast<unsigned char>(text[i]);
  return any < 0x80;
}

// The string `make` makes for `text` (a napi_value, null after its failure
// line), or the one the environment shares for it.
template <class Make>
made_text shared_or_made(napi_env env, std::string_view text, Make &&make) {
  env_cache *cache = env_cache::shares(text) ? env_cache::of(env) : nullptr;
  return cache ? cache->shared_text(short_text::of(text), make) : made_text(make());
}

}  // namespace

napi_value made_text::value() const {
  if (env_ == nullptr) return value_;
  env_cache *cache = env_cache::of(env_);
  return cache ? cache->held_string(slot_) : nullptr;
}

napi_status new_string(napi_env env, const char *text, size_t length, napi_value *value) {
  if (text == nullptr) return napi_create_string_latin1(env, "", 0, value);
  // ASCII reads the same as Latin-1, and the engine copies it without decoding.
  return is_ascii(text, length) ? napi_create_string_latin1(env, text, length, value)
                                : napi_create_string_utf8(env, text, length, value);
}

napi_value new_string_value(napi_env env, const char *key, const char *text, size_t length) {
  napi_value value;
  if (text == nullptr) length = 0;
  napi_status status = new_string(env, text, length, &value);
  if (status != napi_ok) {
    CIFS_LOG_AS("create_string_utf8", LOG_ERR, "Failed to create NAPI string for %s: %.*s, error: %d", key,
                static_cast<int>(length), text ? text : "", status);
    return nullptr;
  }
  return value;
}

made_text make_string_utf8(napi_env env, const char *key, const char *text, size_t length) {
  if (text == nullptr) length = 0;
  return shared_or_made(env, {text, length}, [&] { return new_string_value(env, key, text, length); });
}

namespace {

// The number-to-string makers share one formatting path. Answers of
// thousands of records carry several such numbers each, so the digits are
// written here rather than through printf, and handed over as Latin-1 (they
// are ASCII), which the engine copies without decoding.
made_text make_decimal_string(napi_env env, const char *key, uint64_t number, const char *func) {
  char digits[20];  // UINT64_MAX has 20 digits
  size_t at = sizeof digits;
  do {
    digits[--at] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0);
  const std::string_view text(digits + at, sizeof digits - at);
  return shared_or_made(env, text, [&]() -> napi_value {
    napi_value value;
    napi_status status = napi_create_string_latin1(env, text.data(), text.size(), &value);
    if (status != napi_ok) {
      CIFS_LOG_AS(func, LOG_ERR, "Failed to create NAPI string for %s: %.*s, error: %d", key,
                  static_cast<int>(text.size()), text.data(), status);
      return nullptr;
    }
    return value;
  });
}

}  // namespace

made_text make_uint32_to_string_utf8(napi_env env, const char *key, uint32_t value) {
  return make_decimal_string(env, key, value, "create_uint32_to_string_utf8");
}

made_text make_uint64_to_string_utf8(napi_env env, const char *key, uint64_t value) {
  return make_decimal_string(env, key, value, "create_uint64_to_string_utf8");
}

napi_value make_boolean(napi_env env, const char *key, uint8_t byte) {
  napi_value value;
  napi_status status = napi_get_boolean(env, byte != 0, &value);
  if (status != napi_ok) {
    CIFS_LOG_AS("create_boolean", LOG_ERR, "Failed to create NAPI value for %s: %d, error: %d", key, byte, status);
    return nullptr;
  }
  return value;
}

napi_value make_int64(napi_env env, const char *key, int64_t number) {
  napi_value value;
  napi_status status = napi_create_int64(env, number, &value);
  if (status != napi_ok) {
    CIFS_LOG_AS("create_int64", LOG_ERR, "Failed to create NAPI value for %s: %" PRId64 ", error: %d", key, number,
                status);
    return nullptr;
  }
  return value;
}

namespace {

// make_uint32 and make_int32: a number, or a log line with the value as text.
template <class T>
napi_value make_number(napi_env env, const char *key, T number, napi_status (*create)(napi_env, T, napi_value *),
                       const char *func) {
  napi_value value;
  napi_status status = create(env, number, &value);
  if (status != napi_ok) {
    char text[16] = {};
    if constexpr (std::is_signed_v<T>) std::snprintf(text, sizeof text, "%" PRId32 "\n", static_cast<int32_t>(number));
    else std::snprintf(text, sizeof text, "%" PRIu32 "\n", static_cast<uint32_t>(number));
    CIFS_LOG_AS(func, LOG_ERR, "Failed to create napi int for %s: %s, error: %d", key, text, status);
    return nullptr;
  }
  return value;
}

}  // namespace

napi_value make_uint32(napi_env env, const char *key, uint32_t number) {
  return make_number(env, key, number, napi_create_uint32, "create_uint32");
}

napi_value make_int32(napi_env env, const char *key, int32_t number) {
  return make_number(env, key, number, napi_create_int32, "create_int32");
}

made_text make_array_string(napi_env env, const char *text, size_t length) {
  if (text == nullptr) length = 0;
  return shared_or_made(env, {text, length}, [&]() -> napi_value {
    napi_value value;
    napi_status status = new_string(env, text, length, &value);
    if (status != napi_ok) {
      CIFS_LOG_AS("add_string_to_array", LOG_ERR, "Failed to create NAPI string, error: %d", status);
      return nullptr;
    }
    return value;
  });
}

}  // namespace cifs
