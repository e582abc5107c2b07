// The invalid user records of a cached invalid users result, read out of the
// private copy of the shared memory object; nothing is read outside the copy,
// and the walk stops at the first record that does not lie wholly inside it.
// Pure code: no Node-API.
#pragma once

#include <cstdint>
#include <string_view>

#include "wire/list_result.h"

namespace cifs {

// One cached user. Its texts point into the copy: the name (an absent offset,
// or one that does not end inside the record, reads as empty) and the client address, which is a fixed 16-byte
// field read no further than its size, NUL or not.
struct invalid_user_view {
  uint32_t state;
  int64_t last_attempt_time;
  std::string_view client_address;
  std::string_view name;
};

class invalid_users_cursor {
 public:
  invalid_users_cursor(const byte_reader &copy, uint32_t count);

  // The next user; false after the last one, or at a record that does not
  // lie wholly inside the copy.
  bool next(invalid_user_view *user);
  uint32_t read() const { return records_.read(); }

 private:
  record_cursor records_;
};

// How many users a cursor over the same page hands out.
uint32_t count_invalid_users(const byte_reader &copy, uint32_t count);

}  // namespace cifs
