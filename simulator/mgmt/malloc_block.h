// Blocks the simulated library hands to the caller, who releases them with free.
#pragma once

#include <malloc.h>

#include <cstdlib>
#include <cstring>

namespace cifssim {

// A malloc block of `size` bytes (1 when `size` is 0). The allocator's slack
// past `size` is filled with non-NUL garbage, so a reader bounded by
// malloc_usable_size meets the same bytes in every build, not whatever the
// heap left there. Null when it cannot be allocated.
inline void *malloc_block(size_t size) {
  void *p = std::malloc(size ? size : 1);
  if (!p) return nullptr;
  const size_t usable = malloc_usable_size(p);
  if (usable > size) std::memset(static_cast<char *>(p) + size, 0xA5, usable - size);
  return p;
}

}  // namespace cifssim
