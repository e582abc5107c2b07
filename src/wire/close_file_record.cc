#include "wire/close_file_record.h"

#include <cstring>

namespace cifs {

bool fill_close_file_record(close_file_record *record, std::string_view path) {
  if (path.size() > close_file_max_path) return false;
  std::memset(record, 0, sizeof *record);  // the full path offset is 0: the path opens the area
  std::memcpy(record->strings, path.data(), path.size());
  return true;
}

}  // namespace cifs
