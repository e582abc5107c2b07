#include "wire/open_files_result.h"

#include <cstddef>

#include "wire/open_file_records.h"

namespace cifs {

open_files_cursor::open_files_cursor(const byte_reader &copy, uint32_t count, open_files_form form)
    : records_(copy, count, sizeof(open_file_record), offsetof(open_file_record, strings_length)), form_(form) {}

bool open_files_cursor::next(open_file_view *file) {
  record_frame frame;
  if (!records_.next(&frame)) return false;
  const open_file_record header = *frame.fixed.value_at<open_file_record>(0);  // the frame is one header
  *file = {header.session_id,
           header.file_id,
           header.access_mask,
           header.lock_level,
           frame.strings.text_or_empty(header.file_name_offset),
           form_ == open_files_form::connection ? frame.strings.text_or_empty(header.share_name_offset)
                                                : std::string_view(),
           frame.strings.text_or_empty(header.full_path_offset),
           frame.strings.text_or_empty(header.user_name_offset),
           frame.strings.text_or_empty(header.client_address_offset)};
  return true;
}

uint32_t count_open_files(const byte_reader &copy, uint32_t count) {
  return count_records(copy, count, sizeof(open_file_record), offsetof(open_file_record, strings_length));
}

}  // namespace cifs
