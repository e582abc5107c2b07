// Walking the paged list results of the management library: the result header
// it returns (count, cookie, shared memory object name and size) and the
// records it lays back to back in the shared memory object, each a fixed
// header whose strings length gives the string area that follows. Every count,
// length and offset is checked against the bytes at hand before it is used; a
// result that points past them is hostile and reported with what was wrong.
// Pure code: no Node-API.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "mgmtclient/records.h"
#include "values/byte_reader.h"

namespace cifs {

enum class result_fault : uint8_t {
  none,
  header_short,    // the header buffer is shorter than its fixed part (value: its size)
  cookie,          // the cookie offset ends nowhere inside the header buffer (value: the offset)
  object_name,     // the object name offset ends nowhere inside the header buffer (value: the offset)
  count,           // the count cannot fit the object (value: the count)
  record_header,   // record `record`'s fixed header runs past the object (value: where it starts)
  record_strings,  // record `record`'s strings length runs past the object (value: the length)
  record_text,     // record `record`'s `field` offset ends nowhere inside its strings (value: the offset)
};

struct result_problem {
  result_fault fault = result_fault::none;
  uint32_t record = 0;
  uint64_t value = 0;
  const char *field = nullptr;
  explicit operator bool() const { return fault != result_fault::none; }
};

// One line for the log, e.g. "record 3: strings length 9000 runs past the
// shared memory object"; cut to `size` - 1 characters.
void describe_result_problem(const result_problem &problem, char *out, size_t size);

// The 24-byte header shared by the open files and invalid users results.
struct list_result_header {
  uint32_t count;
  std::string_view cookie;       // empty when the offset is absent
  std::string_view object_name;  // NUL-terminated in the header buffer, so .data() names the object
  uint64_t object_size;
};

// Reads the header from `header`, a view of the whole buffer the library
// returned. Texts count from byte 24 and must end with a NUL inside the
// buffer; an absent cookie reads as empty, an absent object name is a fault.
result_problem read_list_result_header(byte_reader header, list_result_header *out);

// The shared memory object name alone, read as read_list_result_header reads
// it: a header refused for another field may still name the object, which
// then has nobody else to remove it.
std::optional<std::string_view> read_list_result_object_name(byte_reader header);

// The text at `offset` of a record's string area: empty for the absent offset,
// nothing when it does not end with a NUL inside the area.
std::optional<std::string_view> record_text(byte_reader strings, uint32_t offset);

// One record as found: its fixed header and its string area.
struct record_frame {
  uint32_t index;
  byte_reader fixed;
  byte_reader strings;
};

// Steps through `count` records of `object`; record i + 1 starts right after
// record i's string area. `fixed_size` is the fixed header's size and
// `strings_length_field` the offset of its u32 strings length.
class record_cursor {
 public:
  record_cursor(byte_reader object, uint32_t count, size_t fixed_size, size_t strings_length_field);

  // The next record; false after the last one or at the first fault, which
  // problem() then tells (a count that cannot fit is reported before any record).
  bool next(record_frame *frame);
  const result_problem &problem() const { return problem_; }

 private:
  byte_reader object_;
  uint32_t count_;
  size_t fixed_size_;
  size_t strings_length_field_;
  uint32_t index_ = 0;
  size_t at_ = 0;
  result_problem problem_;
};

}  // namespace cifs
