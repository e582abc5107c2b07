// Reading what the module hands to the open files calls: the page-sized list
// request with its advanced filter block, and the close file record. Strict
// on purpose: a request the module built wrong is refused, with a status
// telling which kind of fault it has, rather than read some other way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "list_request_page.h"

namespace cifssim {

struct list_request : page_common {
  uint32_t connection = 0;  // the first field; meaningful in the connection form only
  std::optional<std::string> volume{};  // absent: the connection form
};

// CIFSSIM_OK with `out` filled, or the refusal: CIFSSIM_BAD_REQUEST for the
// layout (a strings length past the page, a text or block outside the string
// area, a missing NUL, a text over its bound, entry lengths and counts that
// disagree, non-zero reserved bytes, a connection number beside a volume
// name), CIFSSIM_BAD_FILTER for what the filter block says (match or filter
// type code, filterBy text, pattern limits).
int32_t parse_list_request(std::span<const uint8_t> page, size_t page_size, list_request &out);

// The full path of a close file record of exactly wire::close_file::record_size
// bytes; nothing unless its header is all zero (path offset 0 included) and a
// NUL ends the path inside the string area.
std::optional<std::string_view> close_record_path(std::span<const uint8_t> record);

}  // namespace cifssim
