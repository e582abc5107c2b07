// Builds a record of a fixed header and a string area: the header fields go
// in through a byte writer, the texts are appended with their NULs and
// addressed by their offset from the start of the area.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "byte_order.h"

namespace cifssim {

class string_record {
 public:
  explicit string_record(size_t header_size) : bytes_(header_size, 0), header_size_(header_size) {}

  // Appends `text` and its NUL; returns its offset in the string area.
  uint32_t add_text(std::string_view text) {
    const auto at = static_cast<uint32_t>(bytes_.size() - header_size_);
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
    return at;
  }
  // Valid until the next add_text.
  byte_writer header() { return byte_writer(bytes_.data(), header_size_); }
  uint32_t strings_length() const { return static_cast<uint32_t>(bytes_.size() - header_size_); }

  // The whole record, with the string area's length written at `length_field`
  // (none for records that do not carry it).
  std::vector<uint8_t> finish(std::optional<size_t> length_field) && {
    if (length_field) header().u32(*length_field, strings_length());
    return std::move(bytes_);
  }

 private:
  std::vector<uint8_t> bytes_;
  size_t header_size_;
};

}  // namespace cifssim
