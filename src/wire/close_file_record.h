// Filling the record of CIFSLIB_CloseOpenFile. Pure code: no Node-API.
#pragma once

#include <string_view>

#include "wire/open_file_records.h"

namespace cifs {

// The longest full path the record's string area holds with its NUL.
inline constexpr size_t close_file_max_path = close_file_area - 1;

// Zeroes `record` and puts `path` with its NUL at the start of the string
// area (full path offset 0; every other field stays zero, the strings length
// included, as the library expects). False, leaving the record untouched,
// when the path is longer than close_file_max_path bytes.
bool fill_close_file_record(close_file_record *record, std::string_view path);

}  // namespace cifs
