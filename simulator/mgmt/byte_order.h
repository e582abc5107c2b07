// Little-endian fields at byte offsets, written and read a byte at a time, so
// what goes out depends on the offsets alone: not on a struct, not on the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>

namespace cifssim {

// A field past the end is a simulator bug, never the caller's fault: stop at once.
inline void require_inside(size_t size, size_t at, size_t width) {
  if (at > size || width > size - at) std::abort();
}

template <class T>
T get_le(std::span<const uint8_t> bytes, size_t at) {
  require_inside(bytes.size(), at, sizeof(T));
  uint64_t value = 0;
  for (size_t i = 0; i < sizeof(T); ++i) value |= uint64_t{bytes[at + i]} << (8 * i);
  return static_cast<T>(value);
}

inline uint8_t get_u8(std::span<const uint8_t> b, size_t at) { return get_le<uint8_t>(b, at); }
inline uint16_t get_u16(std::span<const uint8_t> b, size_t at) { return get_le<uint16_t>(b, at); }
inline uint32_t get_u32(std::span<const uint8_t> b, size_t at) { return get_le<uint32_t>(b, at); }
inline uint64_t get_u64(std::span<const uint8_t> b, size_t at) { return get_le<uint64_t>(b, at); }

class byte_writer {
 public:
  byte_writer(uint8_t *base, size_t size) : base_(base), size_(size) {}
  explicit byte_writer(std::span<uint8_t> bytes) : base_(bytes.data()), size_(bytes.size()) {}

  void u8(size_t at, uint8_t v) { put(at, v, 1); }
  void u16(size_t at, uint16_t v) { put(at, v, 2); }
  void u32(size_t at, uint32_t v) { put(at, v, 4); }
  void i32(size_t at, int32_t v) { put(at, static_cast<uint32_t>(v), 4); }
  void u64(size_t at, uint64_t v) { put(at, v, 8); }
  void i64(size_t at, int64_t v) { put(at, static_cast<uint64_t>(v), 8); }
  // An address as the caller's 8-byte pointer field holds it.
  void pointer(size_t at, const void *p) { u64(at, reinterpret_cast<uintptr_t>(p)); }

  void bytes(size_t at, std::span<const uint8_t> b) {
    require_inside(size_, at, b.size());
    if (!b.empty()) std::memcpy(base_ + at, b.data(), b.size());
  }
  // A fixed text field of `width` bytes: the text, then zeros to the end.
  // Callers keep texts short enough to leave a NUL.
  void fixed_text(size_t at, size_t width, std::string_view text) {
    require_inside(size_, at, width);
    const size_t n = text.size() < width ? text.size() : width;
    std::memcpy(base_ + at, text.data(), n);
    std::memset(base_ + at + n, 0, width - n);
  }
  // `count` bytes of `byte` from `at`.
  void fill(size_t at, size_t count, uint8_t byte) {
    require_inside(size_, at, count);
    std::memset(base_ + at, byte, count);
  }

 private:
  void put(size_t at, uint64_t v, size_t width) {
    require_inside(size_, at, width);
    for (size_t i = 0; i < width; ++i) base_[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }

  uint8_t *base_;
  size_t size_;
};

}  // namespace cifssim
