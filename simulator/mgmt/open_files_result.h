// How the open files listing hands out its result: the file records in a
// POSIX shared memory object of their own, which the caller maps, reads and
// unlinks, and a malloc'd header naming it, which the caller frees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "open_files_model.h"

namespace cifssim {

// Every object this library creates, and every raw one a test should name,
// starts with "/cifssim.<pid>.", so the tests of one process find the objects
// that nobody removed without seeing those of another.
std::string shm_prefix();
// A name this process has not used before.
std::string next_shm_name();

// Creates `name` exclusively, sized to exactly content.size() and holding
// it. CIFSSIM_SHM_FAILURE, and no object left, when any step fails.
int32_t publish_object(const std::string &name, std::span<const uint8_t> content);

// Names (with the leading slash) of the prefixed objects present now.
std::vector<std::string> present_objects();
// Unlinks every prefixed object; returns how many went.
size_t remove_objects();

// One record: the header, then the file name, share name, full path, user
// name and client address, each with its NUL.
std::vector<uint8_t> open_file_record_bytes(const open_file &file);

// The result header: the cookie at offset 0 of its string area, then the
// object name.
std::vector<uint8_t> result_header_bytes(uint32_t file_count, std::string_view cookie, std::string_view shm_name,
                                         uint64_t shm_size);

// A one-shot answer that stands in for the next listing, whatever its request.
struct raw_open_files {
  int32_t status = 0;
  std::optional<std::vector<uint8_t>> header{};  // handed out as given; nothing: a null pointer
  std::optional<std::string> shm_name{};         // an object to create with shm_bytes, if any
  std::vector<uint8_t> shm_bytes{};
};

}  // namespace cifssim
