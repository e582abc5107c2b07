#include "malloc_block.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>

namespace cifssim {

void *malloc_copy(const std::vector<uint8_t> &content) {
  auto *p = static_cast<uint8_t *>(std::malloc(content.empty() ? 1 : content.size()));
  if (!p) return nullptr;
  if (!content.empty()) std::memcpy(p, content.data(), content.size());
  const size_t usable = malloc_usable_size(p);
  if (usable > content.size()) std::memset(p + content.size(), 0xA5, usable - content.size());
  return p;
}

}  // namespace cifssim
