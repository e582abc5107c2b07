#include "module/failure.h"

#include "values/bounded_text.h"

namespace cifs {

uint32_t record_failure_v(request_instance *instance, uint32_t code, uint32_t id, const char *key,
                          const char *format, va_list args) {
  instance->error_code = code;
  instance->error_id = id;
  if (key != nullptr) copy_bounded(instance->error_key, key);
  vformat_bounded(instance->error_message, sizeof instance->error_message, format, args);
  return code;
}

uint32_t record_failure(request_instance *instance, uint32_t code, uint32_t id, const char *key, const char *format,
                        ...) {
  va_list args;
  va_start(args, format);
  record_failure_v(instance, code, id, key, format, args);
  va_end(args);
  return code;
}

}  // namespace cifs
