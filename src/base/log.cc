#include "base/log.h"

#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "base/bounded_text.h"
#include "base/malloc_ptr.h"

namespace cifs {

std::atomic<int32_t> tarvo_rest_log_level{LOG_ERR};

namespace {

enum destination : uint8_t { to_syslog = 1, to_stderr = 2, to_both = to_syslog | to_stderr };
std::atomic<uint8_t> log_destination{to_syslog};

constexpr char cut_marker[] = "...[cut]";
constexpr size_t marker_length = sizeof cut_marker - 1;
static_assert(log_tail_kept + marker_length < log_line_limit);

// An escape takes at most four bytes per byte of the line ("\xNN"; "\u0085"
// stands for two), so a stderr line ("<3>", the line, "\n") fits PIPE_BUF
// and lands whole even among other writers.
constexpr size_t escaped_limit = 4 * log_line_limit;
constexpr size_t stderr_limit = 3 + escaped_limit + 1;
static_assert(stderr_limit <= 4096);

// The length of the well-formed UTF-8 sequence at `p` (lead byte 0x80 or
// above), or 0 when the bytes there are none: overlong forms, surrogates and
// code points past U+10FFFF included.
size_t utf8_sequence(const unsigned char *p, size_t available) {
  const unsigned char lead = p[0];
  size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (available < length || p[1] < low || p[1] > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if ((p[i] & 0xC0) != 0x80) return 0;
  return length;
}

// The code point of a well-formed sequence of 2 or 3 bytes.
uint32_t code_point(const unsigned char *p, size_t length) {
  if (length == 2) return (uint32_t{p[0]} & 0x1F) << 6 | (p[1] & 0x3F);
  return (uint32_t{p[0]} & 0x0F) << 12 | (uint32_t{p[1]} & 0x3F) << 6 | (p[2] & 0x3F);
}

bool forges_lines(uint32_t c) { return (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029; }

// Whether the line holds anything the escape would change: the common line
// is plain ASCII and goes out as it is.
bool plain(std::string_view line) {
  for (const char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) return false;
  }
  return true;
}

void write_stderr(int priority, std::string_view line) {
  char out[stderr_limit + 8];
  const int head = std::snprintf(out, sizeof out, "<%d>", priority);
  if (head < 0) return;
  size_t length = static_cast<size_t>(head);
  const size_t room = sizeof out - length - 1;
  const size_t taken = line.size() < room ? line.size() : room;
  std::memcpy(out + length, line.data(), taken);
  length += taken;
  out[length++] = '\n';
  // One write, so that a line never interleaves with another thread's; a
  // failure has nowhere to be reported.
  while (::write(STDERR_FILENO, out, length) < 0 && errno == EINTR) {
  }
}

void emit(int priority, const char *line, size_t length) {
  const uint8_t where = log_destination.load(std::memory_order_relaxed);
  if (where & to_syslog) ::syslog(priority, "%s", line);
  if (where & to_stderr) write_stderr(priority, {line, length});
}

// The rare paths (a line to escape or to cut) are kept out of line, so the
// common one carries no large buffers.
__attribute__((noinline)) void emit_escaped(int priority, std::string_view line) {
  char escaped[escaped_limit + 1];
  const size_t length = escape_log_text(line, escaped, sizeof escaped);
  emit(priority, escaped, length);
}

void emit_line(int priority, std::string_view line) {
  if (!plain(line)) return emit_escaped(priority, line);
  emit(priority, line.data(), line.size());  // NUL-terminated by the formatter
}

// A line of `length` bytes (more than the limit) formatted whole in `whole`:
// its head and its tail around the marker, neither cut inside a character.
__attribute__((noinline)) void emit_cut(int priority, const char *whole, size_t length) {
  char line[log_line_limit + 1];
  const size_t head = utf8_cut_length(whole, log_line_limit - marker_length - log_tail_kept);
  size_t tail = length - log_tail_kept;
  while (tail < length && (static_cast<unsigned char>(whole[tail]) & 0xC0) == 0x80) ++tail;
  std::memcpy(line, whole, head);
  std::memcpy(line + head, cut_marker, marker_length);
  std::memcpy(line + head + marker_length, whole + tail, length - tail);
  const size_t total = head + marker_length + (length - tail);
  line[total] = '\0';
  emit_line(priority, {line, total});
}

}  // namespace

void choose_log_destination() {
  static std::once_flag once;
  std::call_once(once, [] {
    const char *value = std::getenv("CIFS_NATIVE_LOG");
    if (value == nullptr || value[0] == '\0') return;
    static constexpr struct {
      const char *name;
      destination where;
    } choices[] = {{"syslog", to_syslog}, {"stderr", to_stderr}, {"both", to_both}};
    for (const auto &choice : choices) {
      if (strcasecmp(value, choice.name) == 0) {
        log_destination.store(choice.where, std::memory_order_relaxed);
        return;
      }
    }
    log_destination.store(to_both, std::memory_order_relaxed);
    CIFS_LOG_AS("choose_log_destination", LOG_ERR,
                "CIFS_NATIVE_LOG is '%s', not syslog, stderr or both: the module's lines go to both", value);
  });
}

size_t escape_log_text(std::string_view text, char *out, size_t capacity) {
  static constexpr char hex[] = "0123456789abcdef";
  const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
  size_t used = 0;
  for (size_t at = 0; at < text.size();) {
    const unsigned char byte = bytes[at];
    char escape[6];
    size_t length = 0;   // bytes written for it
    size_t consumed = 1;  // bytes of the text it stands for
    if (byte >= 0x20 && byte < 0x7F) {
      escape[length++] = static_cast<char>(byte);
    } else if (byte == '\n' || byte == '\r' || byte == '\t') {
      escape[length++] = '\\';
      escape[length++] = byte == '\n' ? 'n' : byte == '\r' ? 'r' : 't';
    } else if (size_t sequence = byte >= 0x80 ? utf8_sequence(bytes + at, text.size() - at) : 0) {
      consumed = sequence;
      if (sequence <= 3 && forges_lines(code_point(bytes + at, sequence))) {
        const uint32_t c = code_point(bytes + at, sequence);
        escape[length++] = '\\';
        escape[length++] = 'u';
        for (int shift = 12; shift >= 0; shift -= 4) escape[length++] = hex[(c >> shift) & 0x0F];
      } else {
        if (capacity - 1 - used < sequence) break;
        std::memcpy(out + used, bytes + at, sequence);
        used += sequence;
        at += sequence;
        continue;
      }
    } else {  // other C0 controls, DEL, and bytes that are no UTF-8
      escape[length++] = '\\';
      escape[length++] = 'x';
      escape[length++] = hex[byte >> 4];
      escape[length++] = hex[byte & 0x0F];
    }
    if (capacity - 1 - used < length) break;
    std::memcpy(out + used, escape, length);
    used += length;
    at += consumed;
  }
  out[used] = '\0';
  return used;
}

void write_log_line(int priority, const char *format, ...) {
  char line[log_line_limit + 1];
  va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  const int formatted = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (formatted >= 0 && static_cast<size_t>(formatted) <= log_line_limit) {
    va_end(again);
    return emit_line(priority, {line, static_cast<size_t>(formatted)});
  }
  if (formatted < 0) {
    va_end(again);
    return;
  }
  // Longer than a line: formatted again whole, so that its tail can be kept.
  const size_t length = static_cast<size_t>(formatted);
  const malloc_ptr<char> whole(static_cast<char *>(std::malloc(length + 1)));
  const bool again_ok = whole && std::vsnprintf(whole.get(), length + 1, format, again) == formatted;
  va_end(again);
  if (again_ok) return emit_cut(priority, whole.get(), length);
  // No memory for the whole line: its head alone, marked.
  const size_t head = utf8_cut_length(line, log_line_limit - marker_length);
  std::memcpy(line + head, cut_marker, marker_length + 1);
  emit_line(priority, {line, head + marker_length});
}

}  // namespace cifs
