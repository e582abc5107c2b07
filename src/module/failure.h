// Recording a failure in the request instance: the code, the error id, the
// request key concerned and the formatted text, each within its field. The
// log line stays with the caller, since which line (if any) differs per step.
#pragma once

#include <cstdarg>
#include <cstdint>

#include "module/request_instance.h"

namespace cifs {

// Sets error_code, error_id, error_key (null: left as it is) and
// error_message (printf of `format`, cut to 128 characters). Returns `code`,
// so a parser can `return record_failure(...)`.
__attribute__((format(printf, 5, 6))) uint32_t record_failure(request_instance *instance, uint32_t code,
                                                               uint32_t id, const char *key, const char *format,
                                                               ...);
__attribute__((format(printf, 5, 0))) uint32_t record_failure_v(request_instance *instance, uint32_t code,
                                                                 uint32_t id, const char *key, const char *format,
                                                                 va_list args);

}  // namespace cifs
