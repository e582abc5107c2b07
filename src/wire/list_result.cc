#include "wire/list_result.h"

#include <cstring>

#include "wire/open_file_records.h"
#include "base/bounded_text.h"

namespace cifs {

namespace {

// The text at `at`, up to its NUL within `bound` bytes; nothing without one.
std::optional<std::string_view> bounded_text_at(const char *at, size_t bound) {
  const void *nul = std::memchr(at, '\0', bound);
  if (nul == nullptr) return std::nullopt;
  return std::string_view(at, static_cast<size_t>(static_cast<const char *>(nul) - at));
}

}  // namespace

list_result_header read_list_result_header(const uint8_t *header) {
  // The open files header is the layout of every list result header.
  const open_files_result_header fixed = *byte_reader(header, sizeof fixed).value_at<open_files_result_header>(0);
  const char *strings = reinterpret_cast<const char *>(header) + sizeof fixed;
  list_result_header out;
  out.count = fixed.file_count;
  out.object_size = fixed.shm_size;
  if (fixed.cookie_offset != absent_offset) {
    const char *cookie = strings + fixed.cookie_offset;
    if (auto text = bounded_text_at(cookie, result_cookie_max)) {
      out.cookie = *text;
    } else {
      out.cookie = std::string_view(cookie, utf8_cut_length(cookie, result_cookie_max));
      out.cookie_cut = true;
    }
  }
  if (fixed.shm_name_offset != absent_offset)
    out.object_name = bounded_text_at(strings + fixed.shm_name_offset, result_object_name_max);
  return out;
}

record_cursor::record_cursor(const byte_reader &copy, uint32_t count, size_t fixed_size,
                             size_t strings_length_field)
    : copy_(copy), wanted_(count), fixed_size_(fixed_size), strings_length_field_(strings_length_field) {}

bool record_cursor::next(record_frame *frame) {
  if (index_ >= wanted_) return false;
  const auto fixed = copy_.sub(at_, fixed_size_);
  if (!fixed) return false;
  const auto strings = copy_.sub(at_ + fixed_size_, *fixed->value_at<uint32_t>(strings_length_field_));
  if (!strings) return false;
  *frame = {index_, *fixed, *strings};
  ++index_;
  at_ += fixed_size_ + strings->size();
  return true;
}

uint32_t count_records(const byte_reader &copy, uint32_t count, size_t fixed_size, size_t strings_length_field) {
  record_cursor records(copy, count, fixed_size, strings_length_field);
  record_frame frame;
  while (records.next(&frame)) {
  }
  return records.read();
}

}  // namespace cifs
