#include "wire/page_request.h"

#include <cerrno>
#include <cstdlib>

namespace cifs {

size_t bounded_text_length(std::string_view text, size_t bound) {
  if (bound == 0) return 0;
  size_t length = text.size();
  if (length <= bound - 1) return length;
  length = bound - 1;
  // A continuation byte (10xxxxxx) at the cut means a character would be split.
  while (length > 0 && (static_cast<uint8_t>(text[length]) & 0xC0) == 0x80) --length;
  return length;
}

page_request::page_request(const page_layout &layout, long page_size) : layout_(layout) {
  if (page_size < 0) {
    failed_ = failure::page_size;
    error_ = errno;  // left by the sysconf that produced the size
    return;
  }
  if (static_cast<size_t>(page_size) <= layout_.header_size) {
    failed_ = failure::page_size;
    error_ = EINVAL;
    return;
  }
  page_.reset(static_cast<uint8_t *>(std::calloc(1, static_cast<size_t>(page_size))));
  if (!page_) {
    failed_ = failure::allocation;
    error_ = errno;
    return;
  }
  page_size_ = static_cast<size_t>(page_size);
}

void page_request::set_strings_length(uint32_t length) {
  strings_length_ = length;
  (void)set_field(layout_.strings_length_field, length);  // a layout without the field keeps the count here only
}

std::optional<uint32_t> page_request::append_text(std::string_view text, size_t bound) {
  if (bound == 0) return std::nullopt;  // not even the NUL may be stored
  const size_t length = bounded_text_length(text, bound);
  if (!page_ || length >= room()) return std::nullopt;
  const uint32_t at = strings_length_;
  uint8_t *area = page_.get() + layout_.header_size;
  std::memcpy(area + at, text.data(), length);
  area[at + length] = 0;
  set_strings_length(static_cast<uint32_t>(at + length + 1));
  return at;
}

std::optional<uint32_t> page_request::append_bytes(const void *bytes, size_t size) {
  if (!page_ || size > room()) return std::nullopt;
  const uint32_t at = strings_length_;
  if (size) std::memcpy(page_.get() + layout_.header_size + at, bytes, size);
  set_strings_length(static_cast<uint32_t>(at + size));
  return at;
}

void page_request::rewind(uint32_t length) {
  if (!page_ || length >= strings_length_) return;
  std::memset(page_.get() + layout_.header_size + length, 0, strings_length_ - length);
  set_strings_length(length);
}

malloc_ptr<uint8_t> page_request::release() {
  strings_length_ = 0;
  page_size_ = 0;
  return std::move(page_);
}

}  // namespace cifs
