// How the paged listings hand out their result: the records in a POSIX shared
// memory object of their own, which the caller maps, reads and unlinks, and a
// result header naming it, which the library keeps. The open files and the
// invalid users listings share the header layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "kept_memory.h"

namespace cifssim {

// The result header: the cookie at offset 0 of its string area, then the
// object name.
std::vector<uint8_t> result_header_bytes(uint32_t count, std::string_view cookie, std::string_view shm_name,
                                         uint64_t shm_size);

// `size` bytes of copies of `record`, back to back; the last one cut short
// when it does not fit.
std::vector<uint8_t> slack_bytes(std::span<const uint8_t> record, size_t size);

// The file or user that a caller reading past the header's size finds.
inline constexpr const char *slack_name = "slack-beyond-header-size";

// What the object holds beyond the records its header counts.
struct listing_object {
  uint32_t slack = 0;                       // bytes of slack after the records
  std::span<const uint8_t> slack_record{};  // what the slack is made of
  std::optional<uint64_t> shrink_to{};      // the object is cut to this before the call returns
};

// Publishes `records` (`count` of them, back to back) and the slack in a new
// object and sets *result_header to a header in `kept` naming it; the header's
// size is that of the records alone, or of the whole object for an empty page. CIFSSIM_SHM_FAILURE or
// CIFSSIM_OUT_OF_MEMORY leave no object and *result_header untouched.
int32_t hand_out_listing(uint32_t count, std::vector<uint8_t> records, std::string_view cookie,
                         const listing_object &object, kept_memory &kept, void **result_header);

}  // namespace cifssim
