// What the fuzz targets share: reading their input field by field, and
// turning a broken invariant into a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

// A broken invariant is a finding: say which and abort, so libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                         \
  do {                                                                                                \
    if (!(condition)) {                                                                               \
      std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__);         \
      std::abort();                                                                                   \
    }                                                                                                 \
  } while (0)

namespace fuzz {

// Reads the input front to back; past its end every field reads as zero, so
// any input, however short, is a complete case.
class input {
 public:
  input(const uint8_t *data, size_t size) : data_(data), size_(size) {}

  uint8_t byte() { return value<uint8_t>(); }

  // A little-endian value of the next sizeof(T) bytes, zero-padded.
  template <class T>
  T value() {
    uint8_t bytes[sizeof(T)] = {};
    const size_t n = size_ - used_ < sizeof(T) ? size_ - used_ : sizeof(T);
    if (n) std::memcpy(bytes, data_ + used_, n);
    used_ += n;
    T out;
    std::memcpy(&out, bytes, sizeof out);
    return out;
  }

  // Up to `n` bytes as they come.
  std::span<const uint8_t> take(size_t n) {
    if (n > size_ - used_) n = size_ - used_;
    std::span<const uint8_t> out(data_ + used_, n);
    used_ += n;
    return out;
  }

  std::span<const uint8_t> rest() { return take(size_ - used_); }
  size_t remaining() const { return size_ - used_; }

  // A text of a u16 length (mod max + 1) and up to that many of the bytes
  // that follow. It views the input, so even an empty one has a non-null
  // data pointer, as every text the module hands on has.
  std::string_view text(size_t max) {
    const auto bytes = take(value<uint16_t>() % (max + 1));
    return {reinterpret_cast<const char *>(bytes.data()), bytes.size()};
  }

 private:
  const uint8_t *data_;
  size_t size_;
  size_t used_ = 0;
};

// The value of sizeof(T) bytes at `offset`, copied out as the walkers read.
template <class T>
T value_at(const uint8_t *bytes, size_t offset) {
  T value;
  std::memcpy(&value, bytes + offset, sizeof value);
  return value;
}

// A malloc copy of `bytes` of exactly their size, as the library would hand
// out; released with free.
inline uint8_t *malloc_copy(std::span<const uint8_t> bytes) {
  auto *copy = static_cast<uint8_t *>(std::malloc(bytes.size() ? bytes.size() : 1));
  FUZZ_CHECK(copy != nullptr);
  if (!bytes.empty()) std::memcpy(copy, bytes.data(), bytes.size());
  return copy;
}

// One record of a shared memory listing as the chain of fixed headers and
// strings lengths finds it.
struct frame {
  size_t at;
  uint32_t strings_length;
};

// The records of `object` back to back, each a fixed header of `fixed` bytes
// whose u32 at `length_field` gives the string area behind it, as far as
// they fit; read independently of the walkers under test.
inline std::vector<frame> chain(const uint8_t *object, size_t size, size_t fixed, size_t length_field) {
  std::vector<frame> frames;
  size_t next = 0;
  while (size - next >= fixed) {
    const uint32_t length = value_at<uint32_t>(object, next + length_field);
    if (length > size - next - fixed) break;
    frames.push_back({next, length});
    next += fixed + length;
  }
  return frames;
}

// The count a listing's header claims, by `mode` (mod 4): the raw count, the
// records present, one more, or the raw count mod the records present + 2.
inline uint32_t choose_count(uint8_t mode, uint32_t raw, size_t present) {
  switch (mode % 4) {
    case 1: return static_cast<uint32_t>(present);
    case 2: return static_cast<uint32_t>(present + 1);
    case 3: return static_cast<uint32_t>(raw % (present + 2));
    default: return raw;
  }
}

}  // namespace fuzz
