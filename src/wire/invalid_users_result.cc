#include "wire/invalid_users_result.h"

#include <cstddef>

#include "wire/invalid_user_records.h"

namespace cifs {

invalid_users_cursor::invalid_users_cursor(const byte_reader &copy, uint32_t count)
    : records_(copy, count, sizeof(invalid_user_record), offsetof(invalid_user_record, strings_length)) {}

bool invalid_users_cursor::next(invalid_user_view *user) {
  record_frame frame;
  if (!records_.next(&frame)) return false;
  // The frame is one whole record header, so every fixed read below fits.
  const invalid_user_record header = *frame.fixed.value_at<invalid_user_record>(0);
  const auto address = frame.fixed.char_field(offsetof(invalid_user_record, client_address), invalid_user_address_size);
  *user = {header.state, header.last_attempt_time, *address, frame.strings.text_or_empty(header.user_name_offset)};
  return true;
}

uint32_t count_invalid_users(const byte_reader &copy, uint32_t count) {
  return count_records(copy, count, sizeof(invalid_user_record), offsetof(invalid_user_record, strings_length));
}

}  // namespace cifs
