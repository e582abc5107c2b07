#include "list_request_page.h"

#include <unistd.h>

#include <algorithm>

#include "cifs_sim_status.h"

namespace cifssim {

size_t request_page_size() { return static_cast<size_t>(sysconf(_SC_PAGESIZE)); }

std::vector<uint8_t> capture_page(const void *page, size_t page_size, const cifs::page_layout &layout) {
  const auto *bytes = static_cast<const uint8_t *>(page);
  const auto declared = copy_out<uint32_t>(std::span(bytes + layout.strings_length_field, sizeof(uint32_t)));
  const size_t strings = std::min<size_t>(declared, page_size - layout.header_size);
  return std::vector<uint8_t>(bytes, bytes + layout.header_size + strings);
}

std::optional<std::span<const uint8_t>> declared_area(std::span<const uint8_t> page, size_t page_size,
                                                      const cifs::page_layout &layout) {
  if (page.size() < layout.header_size || page_size < layout.header_size) return std::nullopt;
  const auto length = copy_out<uint32_t>(page.subspan(layout.strings_length_field));
  if (length > page_size - layout.header_size || length > page.size() - layout.header_size) return std::nullopt;
  return page.subspan(layout.header_size, length);
}

int32_t read_cookie_and_filters(std::span<const uint8_t> area, uint32_t cookie_offset, size_t cookie_size,
                                uint32_t filters_offset, pattern_limits limits, page_common &out) {
  if (cookie_offset != cifs::absent_offset) {
    const auto cookie = text_in(area, cookie_offset, cookie_size - 1);
    if (!cookie) return CIFSSIM_BAD_REQUEST;
    out.cookie = *cookie;
  }
  if (filters_offset != cifs::absent_offset) {
    filter_set filters;
    if (const int32_t status = parse_filter_block(area, filters_offset, limits, filters)) return status;
    out.filters = std::move(filters);
  }
  return CIFSSIM_OK;
}

}  // namespace cifssim
