#include "napi_check.h"

#include <cmath>

namespace simctl {

bool failed(napi_env env, napi_status status, const char *call) {
  if (status == napi_ok) return false;
  // Read the error before any other call resets it.
  const napi_extended_error_info *info = nullptr;
  napi_get_last_error_info(env, &info);
  std::string message = std::string(call) + " failed: " +
                        (info && info->error_message ? info->error_message : "unknown Node-API error");
  if (!pending(env)) napi_throw_error(env, nullptr, message.c_str());
  return true;
}

bool pending(napi_env env) {
  bool is_pending = false;
  return napi_is_exception_pending(env, &is_pending) != napi_ok || is_pending;
}

std::optional<napi_value> property(napi_env env, napi_value object, const char *key) {
  napi_value value;
  napi_valuetype type;
  if (failed(env, napi_get_named_property(env, object, key, &value), "napi_get_named_property") ||
      failed(env, napi_typeof(env, value, &type), "napi_typeof") || type == napi_undefined)
    return std::nullopt;
  return value;
}

bool is_nullish(napi_env env, napi_value value) {
  napi_valuetype type = napi_undefined;
  napi_typeof(env, value, &type);
  return type == napi_undefined || type == napi_null;
}

void throw_type_error(napi_env env, const std::string &message) { napi_throw_type_error(env, nullptr, message.c_str()); }

std::optional<std::string> to_string(napi_env env, napi_value value, const char *what) {
  napi_valuetype type;
  if (failed(env, napi_typeof(env, value, &type), "napi_typeof")) return std::nullopt;
  if (type != napi_string) {
    throw_type_error(env, std::string(what) + " must be a string");
    return std::nullopt;
  }
  size_t length = 0;
  if (failed(env, napi_get_value_string_utf8(env, value, nullptr, 0, &length), "napi_get_value_string_utf8"))
    return std::nullopt;
  std::string text(length, '\0');
  if (failed(env, napi_get_value_string_utf8(env, value, text.data(), length + 1, &length),
             "napi_get_value_string_utf8"))
    return std::nullopt;
  return text;
}

// Through a double so that 1.5, NaN or 2**32 are refused instead of being
// truncated the way napi_get_value_uint32 would.
std::optional<int64_t> to_integer(napi_env env, napi_value value, const char *what, int64_t min, int64_t max) {
  double number = 0;
  if (napi_get_value_double(env, value, &number) != napi_ok || std::trunc(number) != number ||
      number < static_cast<double>(min) || number > static_cast<double>(max)) {
    throw_type_error(env, std::string(what) + " must be an integer from " + std::to_string(min) + " to " +
                              std::to_string(max));
    return std::nullopt;
  }
  return static_cast<int64_t>(number);
}

std::optional<bool> to_bool(napi_env env, napi_value value, const char *what) {
  bool flag = false;
  if (napi_get_value_bool(env, value, &flag) != napi_ok) {
    throw_type_error(env, std::string(what) + " must be a boolean");
    return std::nullopt;
  }
  return flag;
}

napi_value make_string(napi_env env, const char *text) {
  napi_value value;
  SIMCTL_CHECK(env, napi_create_string_utf8(env, text, NAPI_AUTO_LENGTH, &value));
  return value;
}

napi_value undefined(napi_env env) {
  napi_value value;
  SIMCTL_CHECK(env, napi_get_undefined(env, &value));
  return value;
}

bool set(napi_env env, napi_value object, const char *key, napi_value value) {
  return value && !failed(env, napi_set_named_property(env, object, key, value), "napi_set_named_property");
}

}  // namespace simctl

namespace simctl {

napi_value new_object(napi_env env) {
  napi_value object;
  SIMCTL_CHECK(env, napi_create_object(env, &object));
  return object;
}

bool read_text(napi_env env, napi_value object, const char *key, std::string &out, bool *present) {
  auto value = property(env, object, key);
  if (!value) return !pending(env);
  auto text = to_string(env, *value, key);
  if (!text) return false;
  out = std::move(*text);
  if (present) *present = true;
  return true;
}

std::optional<std::vector<napi_value>> elements(napi_env env, napi_value value, const char *what) {
  bool is_array = false;
  uint32_t length = 0;
  if (failed(env, napi_is_array(env, value, &is_array), "napi_is_array")) return std::nullopt;
  if (!is_array) {
    throw_type_error(env, std::string(what) + " must be an array");
    return std::nullopt;
  }
  if (failed(env, napi_get_array_length(env, value, &length), "napi_get_array_length")) return std::nullopt;
  std::vector<napi_value> out(length);
  for (uint32_t i = 0; i < length; ++i)
    if (failed(env, napi_get_element(env, value, i, &out[i]), "napi_get_element")) return std::nullopt;
  return out;
}

std::optional<std::vector<uint8_t>> buffer_bytes(napi_env env, napi_value value, const char *what) {
  bool is_buffer = false;
  void *data = nullptr;
  size_t length = 0;
  if (failed(env, napi_is_buffer(env, value, &is_buffer), "napi_is_buffer")) return std::nullopt;
  if (!is_buffer) {
    throw_type_error(env, std::string(what) + " must be a Buffer");
    return std::nullopt;
  }
  if (failed(env, napi_get_buffer_info(env, value, &data, &length), "napi_get_buffer_info")) return std::nullopt;
  const auto *bytes = static_cast<const uint8_t *>(data);
  return std::vector<uint8_t>(bytes, bytes + length);
}

napi_value answer(napi_env env, int32_t status, const char *control) {
  if (status == 0) return undefined(env);
  const std::string text =
      std::string("simctl: ") + control + " refused its argument, status " + std::to_string(status);
  napi_throw_error(env, nullptr, text.c_str());
  return nullptr;
}

napi_value number(napi_env env, double value) {
  napi_value out;
  SIMCTL_CHECK(env, napi_create_double(env, value, &out));
  return out;
}

napi_value boolean(napi_env env, bool value) {
  napi_value out;
  SIMCTL_CHECK(env, napi_get_boolean(env, value, &out));
  return out;
}

array_builder::array_builder(napi_env env) : env_(env) {
  ok_ = !failed(env, napi_create_array(env, &array_), "napi_create_array");
}

void array_builder::push(napi_value value) {
  if (!ok_) return;
  ok_ = value && !failed(env_, napi_set_element(env_, array_, next_++, value), "napi_set_element");
}

}  // namespace simctl
