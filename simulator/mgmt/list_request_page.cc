#include "list_request_page.h"

#include <unistd.h>

#include <algorithm>

#include "byte_order.h"
#include "cifs_sim_status.h"

namespace cifssim {

size_t request_page_size() { return static_cast<size_t>(sysconf(_SC_PAGESIZE)); }

std::vector<uint8_t> capture_page(const void *page, size_t page_size, const wire::page_layout &layout) {
  const auto *bytes = static_cast<const uint8_t *>(page);
  const uint32_t declared = get_u32(std::span(bytes, layout.header_size), layout.strings_length);
  const size_t strings = std::min<size_t>(declared, page_size - layout.header_size);
  return std::vector<uint8_t>(bytes, bytes + layout.header_size + strings);
}

std::optional<std::span<const uint8_t>> declared_area(std::span<const uint8_t> page, size_t page_size,
                                                      const wire::page_layout &layout) {
  if (page.size() < layout.header_size || page_size < layout.header_size) return std::nullopt;
  const uint32_t length = get_u32(page, layout.strings_length);
  if (length > page_size - layout.header_size || length > page.size() - layout.header_size) return std::nullopt;
  return page.subspan(layout.header_size, length);
}

int32_t read_common_fields(std::span<const uint8_t> page, std::span<const uint8_t> area,
                           const wire::page_layout &layout, size_t cookie_size, pattern_limits limits,
                           page_common &out) {
  out.ignore_count = get_u32(page, layout.ignore_count);
  out.return_count = get_u32(page, layout.return_count);
  const uint32_t cookie_offset = get_u32(page, layout.cookie);
  const uint32_t filters_offset = get_u32(page, layout.filters);
  if (cookie_offset != wire::absent) {
    const auto cookie = text_in(area, cookie_offset, cookie_size - 1);
    if (!cookie) return CIFSSIM_BAD_REQUEST;
    out.cookie = *cookie;
  }
  if (filters_offset != wire::absent) {
    filter_set filters;
    if (const int32_t status = parse_filter_block(area, filters_offset, limits, filters)) return status;
    out.filters = std::move(filters);
  }
  return CIFSSIM_OK;
}

}  // namespace cifssim
