// Walking the paged list results of the management library: the result header
// it returns and keeps (count, cookie, shared memory object name and size),
// and the records it lays back to back in the shared memory object, each a
// fixed header whose strings length gives the string area that follows. The
// records are walked in a private copy of the object; the walk ends at the
// first record that does not lie wholly inside it. Pure code: no Node-API.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "wire/library_limits.h"
#include "wire/records.h"
#include "base/byte_reader.h"

namespace cifs {

// The 24-byte header shared by the open files and invalid users results.
struct list_result_header {
  uint32_t count = 0;
  std::string_view cookie;       // empty when its offset is absent
  bool cookie_cut = false;       // no NUL within result_cookie_max bytes: cut there
  // NUL-terminated where the library keeps it, so .data() names the object;
  // nothing when the offset is absent or no NUL ends it within
  // result_object_name_max bytes.
  std::optional<std::string_view> object_name;
  uint64_t object_size = 0;
};

// Reads the header where the library keeps it; its offsets are taken as
// given, its texts read no further than their bounds.
list_result_header read_list_result_header(const uint8_t *header);

// One record as found: its fixed header and its string area.
struct record_frame {
  uint32_t index;
  byte_reader fixed;
  byte_reader strings;
};

// Steps through the records of `copy`: at most `count` of them, record i + 1
// right after record i's string area. `fixed_size` is the fixed header's size
// and `strings_length_field` the offset of its u32 strings length.
class record_cursor {
 public:
  record_cursor(const byte_reader &copy, uint32_t count, size_t fixed_size, size_t strings_length_field);

  // The next record; false after the last one, or at one that does not lie
  // wholly inside the copy.
  bool next(record_frame *frame);
  // Records handed out so far.
  uint32_t read() const { return index_; }

 private:
  byte_reader copy_;
  uint32_t wanted_;
  size_t fixed_size_;
  size_t strings_length_field_;
  uint32_t index_ = 0;
  size_t at_ = 0;
};

// How many records a cursor made with these arguments hands out in all.
uint32_t count_records(const byte_reader &copy, uint32_t count, size_t fixed_size, size_t strings_length_field);

}  // namespace cifs
