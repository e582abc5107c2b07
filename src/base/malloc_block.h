// The extent of a buffer that the module releases with free: the management
// library's share list, connection list and user context blocks, and the
// module's own records. The allocator knows how far such a block reaches, so
// the walkers never trust a count or length written inside it beyond that.
// Memory the library keeps for itself is no malloc block: it is never sized
// here (nor released), only read within the bounds of library_limits.h.
#pragma once

#include <malloc.h>

#include <cstddef>

namespace cifs {

inline size_t malloc_block_size(const void *block) {
  return block ? malloc_usable_size(const_cast<void *>(block)) : 0;
}

}  // namespace cifs
