// Module log level and the one logging convention every line follows:
// "TARVO-REST: <function:line> message" on syslog, written only when the
// current level admits the priority. Request data always goes in as an
// argument, never as the format (the format must be a literal).
#pragma once

#include <syslog.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cifs {

// Syslog priority number; error (3) until native_config_sphere changes it.
// Written on the JavaScript thread, read on every thread without a lock.
extern std::atomic<int32_t> tarvo_rest_log_level;

inline bool log_enabled(int priority) {
  return tarvo_rest_log_level.load(std::memory_order_relaxed) >= priority;
}

// Formats one line (cut to a bounded length) and writes it to syslog as "%s",
// escaped: request texts reach the log, and a line break or a control byte in
// one must not make a line that looks like the module's own.
__attribute__((format(printf, 2, 3))) void write_log_line(int priority, const char *format, ...);

// Writes `text` into `out` (`capacity` bytes, at least 1) with the bytes 0x00
// to 0x1F and 0x7F as \n, \r, \t or \xNN and the backslash as \\, so an
// escaped line reads back unambiguously; bytes from 0x80 up (UTF-8) stay. A
// text that does not fit is cut before an escape, never inside one. Returns
// the length written; `out` is NUL-terminated.
size_t escape_log_text(std::string_view text, char *out, size_t capacity);

}  // namespace cifs

// Logs under an explicit function name: the generic request cycle logs on
// behalf of the sphere or completion it runs for. The level is checked before
// any argument is evaluated.
#define CIFS_LOG_AS(func, prio, fmt, ...)                                                          \
  do {                                                                                             \
    if (::cifs::log_enabled(prio))                                                                 \
      ::cifs::write_log_line((prio), "TARVO-REST: <%s:%d> " fmt, (func), __LINE__, ##__VA_ARGS__); \
  } while (0)

// The same as an expression, for macros that log and then yield a value.
#define CIFS_LOG_EXPR(func, prio, fmt, ...)                                                          \
  (::cifs::log_enabled(prio)                                                                         \
       ? ::cifs::write_log_line((prio), "TARVO-REST: <%s:%d> " fmt, (func), __LINE__, ##__VA_ARGS__) \
       : (void)0)

#define LOG_ERROR(fmt, ...) CIFS_LOG_AS(__func__, LOG_ERR, fmt, ##__VA_ARGS__)
#define LOG_INFORMATION(fmt, ...) CIFS_LOG_AS(__func__, LOG_INFO, fmt, ##__VA_ARGS__)
