// Blocks the library hands to its caller, who releases them with free.
#pragma once

#include <cstdint>
#include <vector>

namespace cifssim {

// A copy of `content` in a fresh malloc block (one byte at least), or null when
// it cannot be allocated. The allocator's slack past the content is filled
// with non-NUL garbage, so a reader bounded by malloc_usable_size meets the
// same unterminated tail in every build, not whatever the heap left.
void *malloc_copy(const std::vector<uint8_t> &content);

}  // namespace cifssim
