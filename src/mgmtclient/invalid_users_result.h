// The invalid user records of a cached invalid users result, read out of the
// mapped shared memory object with the count the header claims; nothing is
// read outside the mapping, and the walk stops at the first fault.
// Pure code: no Node-API.
#pragma once

#include <cstdint>
#include <string_view>

#include "mgmtclient/list_result.h"

namespace cifs {

// One cached user. Its texts point into the mapping: the name (an absent
// offset reads as empty) and the client address, which is a fixed 16-byte
// field read no further than its size, NUL or not.
struct invalid_user_view {
  uint32_t state;
  int64_t last_attempt_time;
  std::string_view client_address;
  std::string_view name;
};

class invalid_users_cursor {
 public:
  invalid_users_cursor(byte_reader mapping, uint32_t count);

  // The next user; false after the last one or at the first fault, which
  // problem() then tells.
  bool next(invalid_user_view *user);
  const result_problem &problem() const { return problem_; }

 private:
  record_cursor records_;
  result_problem problem_;
};

}  // namespace cifs
