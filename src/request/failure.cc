#include "request/failure.h"

#include <cstdarg>

#include "base/bounded_text.h"

namespace cifs {

namespace {

__attribute__((format(printf, 6, 0))) uint32_t vrecord(request_instance *instance, uint32_t code, uint32_t id,
                                                       const char *key, size_t limit, const char *format,
                                                       va_list args) {
  instance->error_code = code;
  instance->error_id = id;
  if (key != nullptr) copy_bounded(instance->error_key, key);
  vformat_bounded(instance->error_message, limit, format, args);
  return code;
}

}  // namespace

uint32_t record_failure(request_instance *instance, uint32_t code, uint32_t id, const char *key, const char *format,
                        ...) {
  va_list args;
  va_start(args, format);
  vrecord(instance, code, id, key, error_message_bound, format, args);
  va_end(args);
  return code;
}

uint32_t record_whole_failure(request_instance *instance, uint32_t code, uint32_t id, const char *key,
                              const char *format, ...) {
  va_list args;
  va_start(args, format);
  vrecord(instance, code, id, key, sizeof instance->error_message, format, args);
  va_end(args);
  return code;
}

}  // namespace cifs
