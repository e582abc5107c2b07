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

// Most bytes one request may copy out of its lists of names (every entry's
// UTF-8 and its NUL): far above any real batch, and a bound on what a request
// of 65,535 long texts could make the process hold. A request beyond it is
// answered as an allocation failure, with nothing sent to the library.
inline constexpr uint64_t max_list_copy_bytes = uint64_t{64} << 20;

}  // namespace cifs
