// Builder of the page-sized list requests the module sends to the management
// library: one zero-filled memory page, a fixed header, then a string area of
// NUL-terminated texts and raw blocks addressed by offsets from its start.
// Nothing is ever written past the page: an append that would not fit is
// refused and leaves the page as it was. Pure code: no Node-API.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <type_traits>

#include "wire/records.h"
#include "base/malloc_ptr.h"

namespace cifs {

// The number of bytes of `text` a copy bounded by `bound` keeps (the NUL
// included in the bound): at most bound - 1, cut back to the start of a
// UTF-8 character so that a cut never splits one, as Node-API's bounded
// string copy does. 0 for a bound of 0.
size_t bounded_text_length(std::string_view text, size_t bound);

class page_request {
 public:
  enum class failure : uint8_t { none, page_size, allocation };

  // One zero-filled page of `page_size` bytes laid out as `layout` says. A
  // negative size is sysconf's failure and keeps the errno it left; a page
  // that leaves no string area behind the header fails with EINVAL; the
  // allocation keeps calloc's errno. After a failure every append is refused.
  explicit page_request(const page_layout &layout, long page_size = sysconf(_SC_PAGESIZE));

  failure failed() const { return failed_; }
  int error() const { return error_; }
  const page_layout &layout() const { return layout_; }
  size_t page_size() const { return page_size_; }
  const uint8_t *data() const { return page_.get(); }

  // Bytes used in the string area; the header's strings length field always
  // holds the same value.
  uint32_t strings_length() const { return strings_length_; }
  // Bytes still free in the string area.
  size_t room() const { return page_ ? page_size_ - layout_.header_size - strings_length_ : 0; }

  // Appends `text` cut as bounded_text_length says, and its NUL. Returns its
  // offset in the string area, or nothing (page unchanged) when it does not fit.
  std::optional<uint32_t> append_text(std::string_view text, size_t bound);

  // Appends `size` raw bytes; offset or nothing, as append_text.
  std::optional<uint32_t> append_bytes(const void *bytes, size_t size);

  template <class T>
  std::optional<uint32_t> append(const T &record) {
    static_assert(std::is_trivially_copyable_v<T>);
    return append_bytes(&record, sizeof record);
  }

  // Writes `value` at `offset` of the fixed header; false (nothing written)
  // when it would reach past the header.
  template <class T>
  bool set_field(size_t offset, T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    if (!page_ || offset > layout_.header_size || sizeof value > layout_.header_size - offset) return false;
    std::memcpy(page_.get() + offset, &value, sizeof value);
    return true;
  }

  // Drops everything appended after the first `length` bytes of the string
  // area and zeroes it again; nothing happens when `length` is not shorter.
  void rewind(uint32_t length);

  // Hands the page over (released with free); the builder is empty afterwards.
  malloc_ptr<uint8_t> release();

 private:
  void set_strings_length(uint32_t length);

  page_layout layout_;
  size_t page_size_ = 0;
  malloc_ptr<uint8_t> page_;
  uint32_t strings_length_ = 0;
  failure failed_ = failure::none;
  int error_ = 0;
};

}  // namespace cifs
