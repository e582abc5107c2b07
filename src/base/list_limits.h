// Bounds on the lists a request may carry.
#pragma once

#include <cstdint>

namespace cifs {

// Most entries one request list may hold: the names of a batch operation, the
// user contexts, and the patterns of one filter. Far above any real use, and
// what a 16-bit count holds. A longer list is refused before anything is
// allocated for it: its length is the caller's to choose (a sparse array, an
// array whose prototype answers every index) and costs the caller nothing.
inline constexpr uint32_t max_list_entries = 65535;

}  // namespace cifs
