// Bounded copies into the fixed-size text fields of the request instance.
// Every result stays NUL-terminated; a longer text is cut, never overflowed.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace cifs {

// Copies at most `limit` - 1 bytes of `src` (null = empty) into `dst`.
inline void copy_bounded(char *dst, size_t limit, const char *src) {
  if (limit == 0) return;
  size_t n = src ? strnlen(src, limit - 1) : 0;
  std::memcpy(dst, src ? src : "", n);
  dst[n] = '\0';
}

template <size_t N>
inline void copy_bounded(char (&dst)[N], const char *src) {
  copy_bounded(dst, N, src);
}

// printf into `dst`, cut to `limit` - 1 characters.
__attribute__((format(printf, 3, 4))) inline void format_bounded(char *dst, size_t limit, const char *fmt, ...) {
  if (limit == 0) return;
  va_list args;
  va_start(args, fmt);
  int n = std::vsnprintf(dst, limit, fmt, args);
  va_end(args);
  if (n < 0) dst[0] = '\0';
}

}  // namespace cifs
