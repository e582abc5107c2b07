// Sizes of the areas the identity library's calls write into, as its callers
// allocate them.
#pragma once

#include <cstddef>

namespace toralsim {

inline constexpr size_t guid_area_size = 16;
inline constexpr size_t sid_area_size = 72;
inline constexpr size_t sev_entry_size = 16;

}  // namespace toralsim
