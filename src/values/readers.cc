#include "values/readers.h"

#include <cstdlib>
#include <cstring>

#include "base/log.h"
#include "request/napi_call.h"

namespace cifs {
namespace {

// A text holding a NUL cannot travel in any record the module writes, and read
// as far as its first NUL it would name something else ("DATA\0junk" would
// remove "DATA"). The string readers refuse it as if Node-API had not been able
// to copy it. `copied` is what Node-API reported; the search stays within it.
napi_status refuse_embedded_nul(napi_status status, const char *text, size_t copied) {
  if (status == napi_ok && std::memchr(text, '\0', copied) != nullptr) return napi_string_expected;
  return status;
}

// Fetches `key` of `object`; logs in the name of the reader `func`.
uint32_t fetch_property(napi_env env, napi_value object, const char *key, napi_value *value, const char *func) {
  napi_status status = napi_get_named_property(env, object, key, value);
  if (status != napi_ok) {
    clear_pending_exception(env);
    CIFS_LOG_AS(func, LOG_ERR, "'%s' value could not be extracted, error: %d", key, status);
    return status_extract_failed;
  }
  return 0;
}

uint32_t string_length(napi_env env, napi_value value, const char *key, size_t *length, const char *func) {
  napi_status status = napi_get_value_string_utf8(env, value, nullptr, 0, length);
  if (status != napi_ok) {
    clear_pending_exception(env);
    CIFS_LOG_AS(func, LOG_ERR, "'%s' value's length could not be found, error: %d", key, status);
    return status_string_convert_failed;
  }
  return 0;
}

// calloc and copy of at most `length` bytes of a string value (the heap
// readers' common tail).
uint32_t copy_string_to_heap(napi_env env, napi_value value, const char *key, size_t length, char **text,
                             const char *func) {
  *text = static_cast<char *>(std::calloc(length + 1, 1));
  if (*text == nullptr) {
    CIFS_LOG_AS(func, LOG_ERR, "Failed to allocate memory to store received '%s'", key);
    return status_out_of_memory;
  }
  size_t copied = 0;
  napi_status status = napi_get_value_string_utf8(env, value, *text, length + 1, &copied);
  status = refuse_embedded_nul(status, *text, copied);
  if (status != napi_ok) {
    clear_pending_exception(env);
    CIFS_LOG_AS(func, LOG_ERR, "'%s' value could not be converted, error: %d", key, status);
    return status_string_convert_failed;
  }
  return 0;
}

}  // namespace

bool validate_key(napi_env env, napi_value object, const char *key) {
  bool present = false;
  if (napi_has_named_property(env, object, key, &present) != napi_ok) {
    clear_pending_exception(env);
    return false;
  }
  return present;
}

bool validate_napi_key_type(napi_env env, napi_value value, napi_valuetype expected) {
  napi_valuetype type;
  if (napi_typeof(env, value, &type) != napi_ok) {
    clear_pending_exception(env);
    return false;
  }
  return type == expected;
}

uint32_t get_named_property_to_string(napi_env env, napi_value object, const char *key, char *buffer,
                                      size_t buffer_size) {
  napi_value value;
  if (uint32_t st = fetch_property(env, object, key, &value, __func__)) return st;
  napi_valuetype type;
  if (napi_typeof(env, value, &type) != napi_ok) {
    clear_pending_exception(env);
    LOG_ERROR("Failed to check the napi_typeof of %s", key);
    return status_typeof_failed;
  }
  if (type != napi_string) {
    LOG_ERROR("Unknown type of value received (%s).", key);
    return status_wrong_type;
  }
  size_t copied = 0;
  // The DN's cut at buffer_size - 1 stays silent; a NUL before the cut does not.
  napi_status status = napi_get_value_string_utf8(env, value, buffer, buffer_size, &copied);
  status = refuse_embedded_nul(status, buffer, copied);
  if (status != napi_ok) {
    clear_pending_exception(env);
    LOG_ERROR("'%s' value could not be converted: %ld, error: %d", key, static_cast<long>(copied), status);
    return status_string_convert_failed;
  }
  return 0;
}

uint32_t get_named_property_to_string_ext(napi_env env, napi_value object, const char *key, char **text) {
  napi_value value;
  if (uint32_t st = fetch_property(env, object, key, &value, __func__)) return st;
  napi_valuetype type;
  napi_status status = napi_typeof(env, value, &type);
  if (status != napi_ok) {
    clear_pending_exception(env);
    LOG_ERROR("Failed to check the napi_typeof of %s, error: %d", key, status);
    return status_typeof_failed;
  }
  if (type != napi_string) {
    LOG_ERROR("Unknown type of value received for: %s", key);
    return status_wrong_type;
  }
  size_t length = 0;
  if (uint32_t st = string_length(env, value, key, &length, __func__)) return st;
  return copy_string_to_heap(env, value, key, length, text, __func__);
}

uint32_t get_value_string_length(napi_env env, napi_value value, const char *key, size_t *length) {
  return string_length(env, value, key, length, "get_named_value_to_string");
}

uint32_t copy_value_string(napi_env env, napi_value value, const char *key, size_t length, char **text) {
  return copy_string_to_heap(env, value, key, length, text, "get_named_value_to_string");
}

namespace {

// The two number readers differ only in the conversion, its status and one log text.
template <class T>
uint32_t read_number(napi_env env, napi_value object, const char *key, T *number,
                     napi_status (*convert)(napi_env, napi_value, T *), uint32_t convert_failed, bool colon,
                     const char *func) {
  napi_value value;
  if (uint32_t st = fetch_property(env, object, key, &value, func)) return st;
  napi_valuetype type;
  if (napi_typeof(env, value, &type) != napi_ok) {
    clear_pending_exception(env);
    if (colon) CIFS_LOG_AS(func, LOG_ERR, "Failed to check the napi_typeof of: %s", key);
    else CIFS_LOG_AS(func, LOG_ERR, "Failed to check the napi_typeof of %s", key);
    return status_typeof_failed;
  }
  if (type != napi_number) return 0;  // absent or not a number: the caller's value stays
  napi_status status = convert(env, value, number);
  if (status != napi_ok) {
    CIFS_LOG_AS(func, LOG_ERR, "'%s' value could not be converted, error: %d", key, status);
    return convert_failed;
  }
  return 0;
}

}  // namespace

uint32_t get_named_property_to_uint32(napi_env env, napi_value object, const char *key, uint32_t *number) {
  return read_number(env, object, key, number, napi_get_value_uint32, status_uint32_convert_failed, true, __func__);
}

uint32_t get_named_property_to_int32(napi_env env, napi_value object, const char *key, int32_t *number) {
  return read_number(env, object, key, number, napi_get_value_int32, status_int32_convert_failed, false, __func__);
}

}  // namespace cifs
