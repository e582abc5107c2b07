// The advanced filter block that the page-sized list requests carry, read
// strictly, and the match rule the library applies with it. The listings
// differ only in the "type" pattern limit and in what their filters test.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "wire_layout.h"

namespace cifssim {

struct list_filter {
  uint32_t type;  // wire::filter_entry::type_type or type_search_name
  std::vector<std::string> patterns;
};
struct filter_set {
  uint32_t match_type;  // wire::filter_block::match_all, _any or _none
  std::vector<list_filter> filters;
};

// Longest pattern texts a listing takes: the module's buffers less the NUL.
struct pattern_limits {
  size_t type;
  size_t search_name = 767;
};

// The block at `offset` of a request's string area `area`; its entries must
// fill exactly the length its header declares. CIFSSIM_OK with `out` filled,
// CIFSSIM_BAD_REQUEST for the layout (lengths, counts, NULs, reserved bytes),
// CIFSSIM_BAD_FILTER for what it says (match or filter type code, a filterBy
// text that does not fit its type, a pattern over its limit).
int32_t parse_filter_block(std::span<const uint8_t> area, uint32_t offset, pattern_limits limits, filter_set &out);

// "all" keeps an item every filter matches, "any" one at least one filter
// matches, "none" one no filter matches, so an empty set keeps everything but
// under "any". `matches(filter)` tells whether one filter matches the item.
template <class Matches>
bool filters_keep(const filter_set &set, Matches matches) {
  switch (set.match_type) {
    case wire::filter_block::match_all: return std::ranges::all_of(set.filters, matches);
    case wire::filter_block::match_any: return std::ranges::any_of(set.filters, matches);
    default: return std::ranges::none_of(set.filters, matches);
  }
}

bool contains_ignoring_case(std::string_view text, std::string_view part);

// Request reading helpers shared by the list request parsers.
inline constexpr size_t unbounded = static_cast<size_t>(-1);

// The text at `offset`, ended by a NUL inside `area`, of at most `max_length` bytes.
std::optional<std::string_view> text_in(std::span<const uint8_t> area, size_t offset, size_t max_length);

inline bool all_zero(std::span<const uint8_t> bytes) {
  return std::ranges::all_of(bytes, [](uint8_t b) { return b == 0; });
}

}  // namespace cifssim
