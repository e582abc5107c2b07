// Reading share records handed to the library and writing the ones it lists.
// Free of locks and global state so the native tests can drive it directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "model.h"

namespace cifssim {

// A caller's strings_length is trusted this far for reading the record; a
// longer area is not read and the record is refused. Comments can be long.
inline constexpr size_t parsed_strings_limit = size_t{1} << 20;
// The call log keeps at most this much of a string area.
inline constexpr size_t logged_strings_limit = 4096;

// The header and min(strings_length, strings_limit) string bytes of a record
// in caller memory.
std::vector<uint8_t> capture_record(const void *record, size_t strings_limit);

// The header fields of a share record, as read.
struct share_fields {
  uint16_t type = 0;
  uint32_t change_mask = 0;
  uint32_t name_space = 0;
  uint8_t encryption = 0, folder_redirection = 0, atm_backup = 0;
  uint32_t name = 0, volume_name = 0, comment = 0, relative_path = 0, absolute_path = 0, new_name = 0;
  uint32_t open_files_count = 0;
  uint32_t strings_length = 0;
};

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

  const share_fields &fields() const { return fields_; }
  // The header as it came, unused bytes included.
  std::span<const uint8_t> header_bytes() const { return header_; }
  // The NUL-terminated text at `offset` of the string area; absent for
  // wire::absent, bad when the offset or its NUL lies outside the area.
  text_field text_at(uint32_t offset) const;

 private:
  record_view(const share_fields &fields, std::span<const uint8_t> header, std::span<const uint8_t> strings)
      : fields_(fields), header_(header), strings_(strings) {}
  share_fields fields_;
  std::span<const uint8_t> header_;
  std::span<const uint8_t> strings_;
};

// The record the library lists for `s`: strings in the order name, volume,
// comment, relative path, absolute path; the comment is always present.
std::vector<uint8_t> listed_record(const share &s);

}  // namespace cifssim
