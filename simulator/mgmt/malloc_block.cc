#include "malloc_block.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>

namespace cifssim {

void *malloc_block(size_t size) {
  auto *p = static_cast<uint8_t *>(std::malloc(size ? size : 1));
  if (!p) return nullptr;
  const size_t usable = malloc_usable_size(p);
  if (usable > size) std::memset(p + size, 0xA5, usable - size);
  return p;
}

void *malloc_copy(const std::vector<uint8_t> &content) {
  auto *p = static_cast<uint8_t *>(malloc_block(content.size()));
  if (p && !content.empty()) std::memcpy(p, content.data(), content.size());  // never from the null of an empty vector
  return p;
}

}  // namespace cifssim
