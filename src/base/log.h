// Module log level and the one logging convention every line follows:
// "TARVO-REST: <function:line> message", written only when the current level
// admits the priority, to syslog, standard error or both (CIFS_NATIVE_LOG).
// Request data always goes in as an argument, never as the format (the format
// must be a literal).
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

// Longest line formatted, without its NUL. A longer one keeps its first bytes
// and its last log_tail_kept bytes with "...[cut]" between them, so the
// status that ends most lines survives a long name inside them.
inline constexpr size_t log_line_limit = 1023;
inline constexpr size_t log_tail_kept = 256;

// Where the lines go: chosen once, when the addon loads, from the
// environment variable CIFS_NATIVE_LOG: "syslog" (also when unset or
// empty), "stderr" or "both", case ignored. Any other value sends them to
// both, so a misspelt choice still shows the lines where it meant them to
// go, and says so in one line of its own. Later calls change nothing.
void choose_log_destination();

// Formats one line (cut as above) and writes it as "%s", escaped: request
// and library texts reach the log, and a line break or a control character
// in one must not make a line that looks like the module's own. On standard
// error the line is one write of "<priority>" (as "<3>"), the line as syslog
// gets it, and a line feed.
__attribute__((format(printf, 2, 3))) void write_log_line(int priority, const char *format, ...);

// Writes `text` into `out` (`capacity` bytes, at least 1) with what could
// forge a line or hide one on a terminal escaped: C0 controls and DEL as \n,
// \r, \t or \xNN, the C1 controls and U+2028/U+2029 as \u0085, and each byte
// that is not part of well-formed UTF-8 as \xNN. Everything else stays as it
// is, the backslash too: a DN's "\," and "DOMAIN\alice" read as the
// administrator searches for them. The price is that an escape can no longer
// be told from the same characters in a name ("\x01" may have been either);
// forging a line stays impossible. A text that does not fit is cut before an
// escape or a character, never inside one. Returns the length written; `out`
// is NUL-terminated.
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
