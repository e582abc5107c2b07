// The open file records the open files listing lays into its shared memory
// object (listing_result.h hands them out).
#pragma once

#include <cstdint>
#include <vector>

#include "open_files_model.h"

namespace cifssim {

// One record: the header, then the file name, share name, full path, user
// name and client address, each with its NUL.
std::vector<uint8_t> open_file_record_bytes(const open_file &file);

}  // namespace cifssim
