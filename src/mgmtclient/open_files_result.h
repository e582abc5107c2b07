// The open file records of a list result, read out of the mapped shared
// memory object. Either check the whole page first (check_open_files) and
// then read it, or read it with the cursor and drop what was built when it
// stops at a fault; nothing is read outside the mapping either way.
// Pure code: no Node-API.
#pragma once

#include <cstdint>
#include <string_view>

#include "mgmtclient/list_result.h"

namespace cifs {

// The open files of a share leave the share name unread (the library need not
// set it); those of a connection read it too.
enum class open_files_form : uint8_t { share, connection };

// One open file. Its texts point into the mapping; an absent offset reads as
// empty, so does the share name in the share form.
struct open_file_view {
  uint32_t session_id;
  uint32_t file_id;
  uint32_t access_mask;
  uint32_t lock_level;
  std::string_view name, share_name, full_path, user_name, client_address;
};

class open_files_cursor {
 public:
  open_files_cursor(byte_reader mapping, uint32_t count, open_files_form form);

  // The next file; false after the last one or at the first fault, which
  // problem() then tells.
  bool next(open_file_view *file);
  const result_problem &problem() const { return problem_; }

 private:
  record_cursor records_;
  open_files_form form_;
  result_problem problem_;
};

// Reads every record once; the first fault, or none when all are sound.
result_problem check_open_files(byte_reader mapping, uint32_t count, open_files_form form);

}  // namespace cifs
