#include "base/log.h"

#include <cstdarg>
#include <cstdio>

namespace cifs {

std::atomic<int32_t> tarvo_rest_log_level{LOG_ERR};

namespace {

// Longest line formatted; a longer one is cut (syslog lines are short by custom).
constexpr size_t line_limit = 1024;
// Each byte escapes to at most four ("\xNN").
constexpr size_t escaped_limit = 4 * line_limit;

bool needs_escape(unsigned char byte) { return byte < 0x20 || byte == 0x7F || byte == '\\'; }

// The rare path, kept out of line so the common one carries no large buffer.
__attribute__((noinline)) void write_escaped(int priority, std::string_view line) {
  char escaped[escaped_limit + 1];
  escape_log_text(line, escaped, sizeof escaped);
  ::syslog(priority, "%s", escaped);
}

}  // namespace

size_t escape_log_text(std::string_view text, char *out, size_t capacity) {
  static constexpr char hex[] = "0123456789abcdef";
  size_t used = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    char escape[4] = {c};
    size_t length = 1;
    if (needs_escape(byte)) {
      escape[0] = '\\';
      length = 2;
      switch (byte) {
        case '\n': escape[1] = 'n'; break;
        case '\r': escape[1] = 'r'; break;
        case '\t': escape[1] = 't'; break;
        case '\\': escape[1] = '\\'; break;
        default:
          escape[1] = 'x';
          escape[2] = hex[byte >> 4];
          escape[3] = hex[byte & 0x0F];
          length = 4;
      }
    }
    if (capacity - 1 - used < length) break;
    for (size_t i = 0; i < length; ++i) out[used++] = escape[i];
  }
  out[used] = '\0';
  return used;
}

void write_log_line(int priority, const char *format, ...) {
  char line[line_limit];
  va_list args;
  va_start(args, format);
  const int formatted = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (formatted < 0) return;
  const size_t length = static_cast<size_t>(formatted) < sizeof line ? static_cast<size_t>(formatted) : sizeof line - 1;
  for (size_t i = 0; i < length; ++i) {
    if (needs_escape(static_cast<unsigned char>(line[i]))) return write_escaped(priority, {line, length});
  }
  ::syslog(priority, "%s", line);
}

}  // namespace cifs
