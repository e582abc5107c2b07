// Bounds for buffers the management library hands back. They are allocated
// with malloc and released with free, so the allocator knows their extent:
// the walkers never trust a count or length the library wrote beyond it.
#pragma once

#include <malloc.h>

#include <cstddef>

namespace cifs {

inline size_t library_buffer_size(const void *buffer) {
  return buffer ? malloc_usable_size(const_cast<void *>(buffer)) : 0;
}

}  // namespace cifs
