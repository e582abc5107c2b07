// How the paged listings hand out their result: the records in a POSIX shared
// memory object of their own, which the caller maps, reads and unlinks, and a
// malloc'd result header naming it, which the caller frees. The open files and
// the invalid users listings share the header layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// The result header: the cookie at offset 0 of its string area, then the
// object name.
std::vector<uint8_t> result_header_bytes(uint32_t count, std::string_view cookie, std::string_view shm_name,
                                         uint64_t shm_size);

// Publishes `records` (`count` of them, back to back) in a new object and
// sets *result_header to a malloc'd header naming it. CIFSSIM_SHM_FAILURE or
// CIFSSIM_OUT_OF_MEMORY leave no object and *result_header untouched.
int32_t hand_out_listing(uint32_t count, std::span<const uint8_t> records, std::string_view cookie,
                         void **result_header);

}  // namespace cifssim
