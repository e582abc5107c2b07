// Ownership of buffers that are released with free: the management library's
// results and the module's own calloc'd records.
#pragma once

#include <cstdlib>
#include <memory>

namespace cifs {

struct free_deleter {
  void operator()(void *p) const noexcept { std::free(p); }
};
template <class T>
using malloc_ptr = std::unique_ptr<T, free_deleter>;

}  // namespace cifs
