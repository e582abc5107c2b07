#include <strings.h>

#include <cstring>

#include "base/log.h"
#include "base/log_levels.h"
#include "request/napi_call.h"
#include "module/spheres.h"
#include "values/keys.h"

namespace cifs {

// Sets the module log level from {logLevel}. Synchronous; always undefined.
napi_value native_config_sphere(napi_env env, napi_callback_info info) {
  size_t argc = 2;
  napi_value argv[2] = {nullptr, nullptr};
  if (napi_get_cb_info(env, info, &argc, argv, nullptr, nullptr) != napi_ok) {
    LOG_ERROR("Failed to retrieve data.");
    return nullptr;
  }
  napi_value config = argv[0];
  if (config == nullptr) (void)napi_get_undefined(env, &config);
  napi_value value;
  napi_status status = napi_get_named_property(env, config, ckey(k_log_level), &value);
  if (status != napi_ok) {
    clear_pending_exception(env);  // a configuration call never throws
    LOG_ERROR("Failed to read native configuration, error: %d", status);
    return nullptr;
  }
  size_t length = 0;
  status = napi_get_value_string_utf8(env, value, nullptr, 0, &length);
  if (status != napi_ok) {
    clear_pending_exception(env);
    LOG_ERROR("Failed to get log level string length, error: %d", status);
    return nullptr;
  }
  if (length > longest_level_name) {
    LOG_ERROR("Log level string size is more than expected: %d <%lu>", static_cast<int>(longest_level_name + 1),
            static_cast<unsigned long>(length));
    return nullptr;
  }
  char text[longest_level_name + 1] = {};
  size_t copied = 0;
  status = napi_get_value_string_utf8(env, value, text, length + 1, &copied);
  if (status != napi_ok) {
    clear_pending_exception(env);
    LOG_ERROR("Failed to get the log level string, error: %d", status);
    return nullptr;
  }
  // "info\0" is no level: a text with a NUL in it is refused as any unknown text.
  if (std::memchr(text, '\0', copied) == nullptr) {
    for (const level_name &name : level_names) {
      if (strcasecmp(text, name.text) == 0) {
        tarvo_rest_log_level.store(name.level, std::memory_order_relaxed);
        return nullptr;
      }
    }
  }
  LOG_ERROR("Read invalid log level from prod.env file: %s", text);
  return nullptr;
}

}  // namespace cifs
