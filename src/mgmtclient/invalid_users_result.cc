#include "mgmtclient/invalid_users_result.h"

#include <cstddef>

#include "mgmtclient/invalid_user_records.h"

namespace cifs {

invalid_users_cursor::invalid_users_cursor(byte_reader mapping, uint32_t count)
    : records_(mapping, count, sizeof(invalid_user_record), offsetof(invalid_user_record, strings_length)) {}

bool invalid_users_cursor::next(invalid_user_view *user) {
  if (problem_) return false;
  record_frame frame;
  if (!records_.next(&frame)) {
    problem_ = records_.problem();
    return false;
  }
  // The frame is one whole record header, so every fixed read below fits.
  const invalid_user_record header = *frame.fixed.value_at<invalid_user_record>(0);
  const auto address = frame.fixed.char_field(offsetof(invalid_user_record, client_address), invalid_user_address_size);
  const auto name = record_text(frame.strings, header.user_name_offset);
  if (!name) {
    problem_ = {result_fault::record_text, frame.index, header.user_name_offset, "user name"};
    return false;
  }
  *user = {header.state, header.last_attempt_time, *address, *name};
  return true;
}

}  // namespace cifs
