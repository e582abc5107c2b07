// What every page-sized list request has in common, read strictly: the page
// itself, its declared string area, and the ignore and return counts, cookie
// and filter block that every listing takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "list_filters.h"
#include "wire_layout.h"

namespace cifssim {

struct page_common {
  uint32_t ignore_count = 0;
  uint32_t return_count = 0;
  std::optional<std::string> cookie{};
  std::optional<filter_set> filters{};
};

// The size of the request page the module allocates.
size_t request_page_size();

// The header and as much of the declared string area as lies inside the page,
// for a page of the given layout: what the call log keeps.
std::vector<uint8_t> capture_page(const void *page, size_t page_size, const wire::page_layout &layout);

// The string area the header of `page` declares; nothing when the header or
// the area would run past the page or past the captured bytes.
std::optional<std::span<const uint8_t>> declared_area(std::span<const uint8_t> page, size_t page_size,
                                                      const wire::page_layout &layout);

// Reads the counts from the header of `page`, and the cookie (at most
// cookie_size - 1 bytes) and the filter block at their offsets of `area`,
// into `out`; an absent offset leaves either out. CIFSSIM_OK,
// CIFSSIM_BAD_REQUEST or CIFSSIM_BAD_FILTER as parse_filter_block.
int32_t read_common_fields(std::span<const uint8_t> page, std::span<const uint8_t> area,
                           const wire::page_layout &layout, size_t cookie_size, pattern_limits limits,
                           page_common &out);

}  // namespace cifssim
