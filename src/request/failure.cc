#include "request/failure.h"

#include <cstdarg>

#include "base/bounded_text.h"

namespace cifs {

uint32_t record_failure(request_instance *instance, uint32_t code, uint32_t id, const char *key, const char *format,
                        ...) {
  instance->error_code = code;
  instance->error_id = id;
  if (key != nullptr) copy_bounded(instance->error_key, key);
  va_list args;
  va_start(args, format);
  vformat_bounded(instance->error_message, sizeof instance->error_message, format, args);
  va_end(args);
  return code;
}

}  // namespace cifs
