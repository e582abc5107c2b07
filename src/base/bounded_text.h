// Bounded copies into the fixed-size text fields of the request instance.
// Every result stays NUL-terminated; a longer text is cut, never overflowed,
// and never inside a UTF-8 character: these fields reach answers, where half
// a character would arrive as a replacement character.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace cifs {

// The length of the first `length` bytes of `text` without a last UTF-8
// character that the cut at `length` left incomplete.
inline size_t utf8_cut_length(const char *text, size_t length) {
  size_t start = length;
  while (start > 0 && length - start < 4 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) --start;
  if (start == 0) return length;
  const auto lead = static_cast<unsigned char>(text[start - 1]);
  const size_t needed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return length - (start - 1) < needed ? start - 1 : length;
}

// Copies at most `limit` - 1 bytes of `src` (null = empty) into `dst`.
inline void copy_bounded(char *dst, size_t limit, const char *src) {
  if (limit == 0) return;
  size_t n = src ? strnlen(src, limit) : 0;
  if (n == limit) n = utf8_cut_length(src, limit - 1);  // no room for all of it
  std::memcpy(dst, src ? src : "", n);
  dst[n] = '\0';
}

template <size_t N>
inline void copy_bounded(char (&dst)[N], const char *src) {
  copy_bounded(dst, N, src);
}

// vprintf into `dst`, cut to `limit` - 1 bytes.
__attribute__((format(printf, 3, 0))) inline void vformat_bounded(char *dst, size_t limit, const char *fmt,
                                                                  va_list args) {
  if (limit == 0) return;
  int n = std::vsnprintf(dst, limit, fmt, args);
  if (n < 0) dst[0] = '\0';
  else if (static_cast<size_t>(n) >= limit) dst[utf8_cut_length(dst, limit - 1)] = '\0';
}

// printf into `dst`, cut to `limit` - 1 bytes.
__attribute__((format(printf, 3, 4))) inline void format_bounded(char *dst, size_t limit, const char *fmt, ...) {
  va_list args;
  va_start(args, fmt);
  vformat_bounded(dst, limit, fmt, args);
  va_end(args);
}

}  // namespace cifs
