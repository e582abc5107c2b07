// Memory the library keeps for what it hands out but its caller must not
// release (result headers, security equivalence texts, records outside their
// list block). Pieces are cut from chunks of anonymous mappings, never from
// malloc, and the 16 bytes before each are zero: a caller's free() of one
// is refused by the allocator at once instead of corrupting its heap.
// Everything stays mapped, unchanged, until release_all() or destruction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace cifssim {

class kept_memory {
 public:
  kept_memory() = default;
  kept_memory(const kept_memory &) = delete;
  kept_memory &operator=(const kept_memory &) = delete;
  ~kept_memory() { release_all(); }

  // `size` zero bytes, 16-byte aligned and at an address no other piece has
  // (a size of 0 included); null when no mapping can be made. Any thread.
  uint8_t *allocate(size_t size);
  // A piece holding a copy of `bytes`.
  uint8_t *copy(std::span<const uint8_t> bytes);
  // Unmaps every chunk; every piece handed out is gone.
  void release_all();

 private:
  struct chunk {
    uint8_t *base;
    size_t size;
    size_t used;
  };
  std::mutex mutex_;
  std::vector<chunk> chunks_;
};

}  // namespace cifssim
