// Reading share records handed to the library and writing the ones it lists.
// Free of locks and global state so the native tests can drive it directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "mgmtclient/records.h"
#include "model.h"

namespace cifssim {

// A caller's strings_length is trusted this far for reading the record; a
// longer area is not read and the record is refused. Comments can be long.
inline constexpr size_t parsed_strings_limit = size_t{1} << 20;
// The call log keeps at most this much of a string area.
inline constexpr size_t logged_strings_limit = 4096;

// The header and min(strings_length, strings_limit) string bytes of a record
// in caller memory.
std::vector<uint8_t> capture_record(const cifs::share_record *record, size_t strings_limit);

enum class text_status { absent, ok, bad };

struct text_field {
  text_status status;
  std::string_view text;  // empty unless ok
};

class record_view {
 public:
  // Nothing when the bytes are shorter than the header plus the string area
  // the header declares. The view borrows `bytes`.
  static std::optional<record_view> parse(std::span<const uint8_t> bytes);

  // A copy of the header; fields are read by value.
  cifs::share_record header() const { return header_; }
  // The NUL-terminated text at `offset` of the string area; absent for
  // cifs::absent_offset, bad when the offset or its NUL lies outside the area.
  text_field text_at(uint32_t offset) const;

 private:
  record_view(const cifs::share_record &header, std::span<const uint8_t> strings)
      : header_(header), strings_(strings) {}
  cifs::share_record header_;
  std::span<const uint8_t> strings_;
};

// The record the library lists for `s`: strings in the order name, volume,
// comment, relative path, absolute path; the comment is always present.
std::vector<uint8_t> listed_record(const share &s);

}  // namespace cifssim
