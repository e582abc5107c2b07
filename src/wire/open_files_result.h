// The open file records of a list result, read out of the private copy of
// the shared memory object; nothing is read outside the copy.
// Pure code: no Node-API.
#pragma once

#include <cstdint>
#include <string_view>

#include "wire/list_result.h"

namespace cifs {

// The open files of a share leave the share name unread (the library need not
// set it); those of a connection read it too.
enum class open_files_form : uint8_t { share, connection };

// One open file. Its texts point into the copy; a text whose offset is absent
// or does not end inside the record reads as empty, so does the share name in
// the share form.
struct open_file_view {
  uint32_t session_id;
  uint32_t file_id;
  uint32_t access_mask;
  uint32_t lock_level;
  std::string_view name, share_name, full_path, user_name, client_address;
};

class open_files_cursor {
 public:
  open_files_cursor(const byte_reader &copy, uint32_t count, open_files_form form);

  // The next file; false after the last one, or at a record that does not
  // lie wholly inside the copy.
  bool next(open_file_view *file);
  uint32_t read() const { return records_.read(); }

 private:
  record_cursor records_;
  open_files_form form_;
};

// How many files a cursor over the same page hands out.
uint32_t count_open_files(const byte_reader &copy, uint32_t count);

}  // namespace cifs
