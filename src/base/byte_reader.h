// A bounded view over bytes the module did not write itself: results of the
// management library, shared memory objects. Every read names its offset and
// is refused when it would reach past the view, so no count, length or offset
// the library wrote can make a walker read outside the buffer it was given.
// Pure code: no Node-API, so native tests and fuzz targets drive it directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <type_traits>

namespace cifs {

class byte_reader {
 public:
  byte_reader() = default;
  // A null `data` is an empty view whatever `size` says.
  byte_reader(const void *data, size_t size)
      : data_(static_cast<const uint8_t *>(data)), size_(data ? size : 0) {}

  const uint8_t *data() const { return data_; }
  size_t size() const { return size_; }

  // True when [offset, offset + length) lies inside the view (overflow-safe).
  bool fits(size_t offset, size_t length) const { return offset <= size_ && length <= size_ - offset; }

  // A fixed-size value at `offset`, copied out (records are packed, so never
  // read through a cast), or nothing when it does not fit.
  template <class T>
  std::optional<T> value_at(size_t offset) const {
    static_assert(std::is_trivially_copyable_v<T>);
    if (!fits(offset, sizeof(T))) return std::nullopt;
    T value;
    std::memcpy(&value, data_ + offset, sizeof value);
    return value;
  }

  // The NUL-terminated text at `offset`, or nothing when the offset lies
  // outside the view or no NUL ends the text inside it.
  std::optional<std::string_view> text_at(size_t offset) const {
    if (offset >= size_) return std::nullopt;
    const auto *start = reinterpret_cast<const char *>(data_ + offset);
    const void *nul = std::memchr(start, '\0', size_ - offset);
    if (nul == nullptr) return std::nullopt;
    return std::string_view(start, static_cast<size_t>(static_cast<const char *>(nul) - start));
  }

  // The text at `offset` of a record's string area: empty for the absent
  // offset (0xFFFFFFFF lies past any area a u32 length can give), and for one
  // that does not end with a NUL inside the view.
  std::string_view text_or_empty(size_t offset) const { return text_at(offset).value_or(std::string_view()); }

  // A fixed-size character field of `width` bytes at `offset`: its text up to
  // the first NUL, or all `width` bytes when none ends it; read no further
  // than the field. Nothing when the field does not fit the view.
  std::optional<std::string_view> char_field(size_t offset, size_t width) const {
    if (!fits(offset, width)) return std::nullopt;
    const auto *start = reinterpret_cast<const char *>(data_ + offset);
    const void *nul = width ? std::memchr(start, '\0', width) : nullptr;
    size_t length = nul ? static_cast<size_t>(static_cast<const char *>(nul) - start) : width;
    return std::string_view(start, length);
  }

  // The part [offset, offset + length) as a view of its own, or nothing when
  // it does not fit.
  std::optional<byte_reader> sub(size_t offset, size_t length) const {
    if (!fits(offset, length)) return std::nullopt;
    return byte_reader(data_ + offset, length);
  }

  // The offset of `address` in the view, or nothing when it points outside
  // (one past the end included). Compared as integers: a pointer the library
  // wrote may point anywhere, and only its value is looked at.
  std::optional<size_t> offset_of(const void *address) const {
    const auto at = reinterpret_cast<uintptr_t>(address), begin = reinterpret_cast<uintptr_t>(data_);
    if (data_ == nullptr || at < begin || at - begin >= size_) return std::nullopt;
    return static_cast<size_t>(at - begin);
  }

  // The same with the view's very end counted in: a list whose records lie
  // in its block points there at a last record of zero bytes, which must
  // then fit the block (and does not), rather than be taken for memory kept
  // elsewhere.
  std::optional<size_t> offset_up_to_end(uintptr_t address) const {
    const auto begin = reinterpret_cast<uintptr_t>(data_);
    if (data_ == nullptr || address < begin || address - begin > size_) return std::nullopt;
    return static_cast<size_t>(address - begin);
  }

 private:
  const uint8_t *data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace cifs
