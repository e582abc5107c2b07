// Recording a failure in the request instance: the code, the error id, the
// request key concerned and the formatted text, each within its field; and,
// for the failures that are logged, the log line, in the site's own format,
// under the name of the function that found the failure.
#pragma once

#include <cstdint>

#include "base/log.h"
#include "request/request_instance.h"

namespace cifs {

// Sets error_code, error_id, error_key (null: left as it is) and
// error_message (printf of `format`, cut to 128 bytes, never inside a
// character). Returns `code`, so a parser can `return record_failure(...)`.
// The failures that are not logged stop here.
__attribute__((format(printf, 5, 6))) uint32_t record_failure(request_instance *instance, uint32_t code,
                                                               uint32_t id, const char *key, const char *format,
                                                               ...);

// The same without the 128-byte cut, for the refusals of the module's own
// whose text names the bound they met and must arrive whole: at most
// sizeof error_message - 1 bytes.
__attribute__((format(printf, 5, 6))) uint32_t record_whole_failure(request_instance *instance, uint32_t code,
                                                                     uint32_t id, const char *key,
                                                                     const char *format, ...);

// The code a failure recorded; lets the macros below be statements or values.
inline uint32_t recorded_code(const request_instance *instance) { return instance->error_code; }

}  // namespace cifs

#define CIFS_UNPAREN(...) __VA_ARGS__

// Records a failure as record_failure does, with `message` its parenthesized
// format and arguments, then logs `log_format` at priority error under the
// calling function's name. A line that shows the message takes it as
// `instance->error_message`, as recorded (cut to 128 bytes). Yields the
// recorded code. Both formats are checked against their arguments.
//   return RECORD_AND_LOG(instance, 40016, id_data_not_contained, key,
//                         ("Data received does not contain %s", key), "%s", instance->error_message);
#define RECORD_AND_LOG(instance, code, id, key, message, log_format, ...)                                     \
  ::cifs::recorded_code(((void)::cifs::record_failure((instance), (code), (id), (key), CIFS_UNPAREN message), \
                         CIFS_LOG_EXPR(__func__, LOG_ERR, log_format, ##__VA_ARGS__), (instance)))

// The same, logged under `func`: for a helper that reports on behalf of the
// function the log line names.
#define RECORD_AND_LOG_AS(func, instance, code, id, key, message, log_format, ...)                            \
  ::cifs::recorded_code(((void)::cifs::record_failure((instance), (code), (id), (key), CIFS_UNPAREN message), \
                         CIFS_LOG_EXPR((func), LOG_ERR, log_format, ##__VA_ARGS__), (instance)))
