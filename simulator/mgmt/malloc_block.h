// Blocks the simulated library hands to its caller, who releases them with free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cifssim {

// A malloc block of `size` bytes (1 when `size` is 0), or null when it cannot
// be allocated. The allocator's slack past `size` is filled with non-NUL
// garbage, so a reader bounded by malloc_usable_size meets the same
// unterminated tail in every build, not whatever the heap left there.
void *malloc_block(size_t size);

// A copy of `content` in such a block.
void *malloc_copy(const std::vector<uint8_t> &content);

}  // namespace cifssim
