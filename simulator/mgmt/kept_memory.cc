#include "kept_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace cifssim {
namespace {

constexpr size_t alignment = 16;
// Zero bytes before each piece, where an allocator looks for its chunk header.
constexpr size_t guard = 16;
constexpr size_t small_chunk = size_t{1} << 20;

constexpr size_t round_up(size_t n, size_t to) { return (n + to - 1) / to * to; }

}  // namespace

uint8_t *kept_memory::allocate(size_t size) {
  if (size > SIZE_MAX / 2) return nullptr;
  const size_t need = guard + round_up(size, alignment);
  std::lock_guard lock(mutex_);
  if (chunks_.empty() || chunks_.back().size - chunks_.back().used < need) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    const size_t chunk_size = round_up(need > small_chunk ? need : small_chunk, page);
    void *base = mmap(nullptr, chunk_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) return nullptr;
    chunks_.push_back({static_cast<uint8_t *>(base), chunk_size, 0});
  }
  chunk &c = chunks_.back();
  uint8_t *piece = c.base + c.used + guard;
  c.used += need;
  return piece;
}

uint8_t *kept_memory::copy(std::span<const uint8_t> bytes) {
  uint8_t *piece = allocate(bytes.size());
  if (piece && !bytes.empty()) std::memcpy(piece, bytes.data(), bytes.size());
  return piece;
}

void kept_memory::release_all() {
  std::lock_guard lock(mutex_);
  for (const chunk &c : chunks_) (void)munmap(c.base, c.size);  // nothing to do if it fails
  chunks_.clear();
}

}  // namespace cifssim
