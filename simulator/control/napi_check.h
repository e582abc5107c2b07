// The one checked-call helper of the control addon, and the few conversions
// its bindings share. Every function that fails leaves a JS exception pending.
#pragma once

#include <node_api.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace simctl {

inline constexpr int64_t int32_min = std::numeric_limits<int32_t>::min();
inline constexpr int64_t int32_max = std::numeric_limits<int32_t>::max();
inline constexpr int64_t uint32_max = std::numeric_limits<uint32_t>::max();

// True when `status` failed; a JS error naming `call` is then pending.
bool failed(napi_env env, napi_status status, const char *call);

// Absent (not set or undefined) gives nullopt with no exception pending; a
// failure gives nullopt with one pending, so check `pending(env)` after.
std::optional<napi_value> property(napi_env env, napi_value object, const char *key);
bool pending(napi_env env);

std::optional<std::string> to_string(napi_env env, napi_value value, const char *what);
std::optional<int64_t> to_integer(napi_env env, napi_value value, const char *what, int64_t min, int64_t max);
std::optional<bool> to_bool(napi_env env, napi_value value, const char *what);
bool is_nullish(napi_env env, napi_value value);

napi_value make_string(napi_env env, const char *text);
napi_value undefined(napi_env env);
void throw_type_error(napi_env env, const std::string &message);

// Sets object[key] = value; false with an exception pending on failure or when value is null.
bool set(napi_env env, napi_value object, const char *key, napi_value value);
napi_value new_object(napi_env env);

// Reads object[key] into `field` when present; false with an exception pending
// when it is present but not an integer within [min, max].
template <class T>
bool read_integer(napi_env env, napi_value object, const char *key, int64_t min, int64_t max, T &field) {
  auto value = property(env, object, key);
  if (!value) return !pending(env);
  auto number = to_integer(env, *value, key, min, max);
  if (number) field = static_cast<T>(*number);
  return number.has_value();
}
// Reads object[key] into `out` when present, then sets *present (if given);
// false with an exception pending when it is present but not a string.
bool read_text(napi_env env, napi_value object, const char *key, std::string &out, bool *present);

// argv[0..N) of the call; missing arguments come back as undefined.
template <size_t N>
bool arguments(napi_env env, napi_callback_info info, napi_value (&argv)[N]) {
  size_t argc = N;
  return !failed(env, napi_get_cb_info(env, info, &argc, argv, nullptr, nullptr), "napi_get_cb_info");
}

// The elements of an array; nothing, with a TypeError pending, for anything else.
std::optional<std::vector<napi_value>> elements(napi_env env, napi_value value, const char *what);

// A Buffer's bytes; nothing, with a TypeError pending, for anything else.
std::optional<std::vector<uint8_t>> buffer_bytes(napi_env env, napi_value value, const char *what);

// Undefined for CIFSSIM_OK; any other status of a control call throws, so a
// test fails at its setup line rather than later for a confusing reason.
napi_value answer(napi_env env, int32_t status, const char *control);

napi_value number(napi_env env, double value);
napi_value boolean(napi_env env, bool value);

// Appends visited values to a JS array; after a failure it ignores the rest.
class array_builder {
 public:
  explicit array_builder(napi_env env);
  void push(napi_value value);
  napi_env env() const { return env_; }
  napi_value result() const { return ok_ ? array_ : nullptr; }

 private:
  napi_env env_;
  napi_value array_ = nullptr;
  uint32_t next_ = 0;
  bool ok_ = false;
};

}  // namespace simctl

#define SIMCTL_CHECK(env, call)                                   \
  do {                                                            \
    if (simctl::failed((env), (call), #call)) return nullptr;     \
  } while (0)
