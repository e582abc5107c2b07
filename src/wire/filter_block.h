// The advanced filter block of the page-sized list requests: the lookups that
// turn the request's texts into codes, and the encoder that lays a parsed
// filter set into a request page byte for byte. Pure code: no Node-API, so the
// readers of every form share it and native tests drive it directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "wire/open_file_records.h"
#include "wire/page_request.h"

namespace cifs {

// An accepted request text and the code it stands for.
struct code_row {
  std::string_view text;
  uint32_t code;
};

// The code of `text` in `rows` (exact, case-sensitive), or nothing.
std::optional<uint32_t> code_of(std::span<const code_row> rows, std::string_view text);

inline constexpr code_row match_type_rows[] = {
    {"all", match_type_all}, {"any", match_type_any}, {"none", match_type_none}};
inline constexpr code_row block_filter_by_rows[] = {
    {"search-name", filter_type_search_name}, {"type", filter_type_type}};

// Read bounds (the NUL included) of the texts of `advancedFiltersInfo`.
inline constexpr size_t match_type_bound = 32;
inline constexpr size_t filter_by_bound = 32;
// Pattern bounds: "search-name" in every form; "type" differs per form.
inline constexpr size_t search_name_pattern_bound = 768;
inline constexpr size_t open_files_type_pattern_bound = 8;
inline constexpr size_t invalid_users_type_pattern_bound = 32;

// The block stores the filter count and each pattern count in one byte.
inline constexpr size_t block_max_filters = 255;
inline constexpr size_t block_max_patterns = 255;

// The pattern bound of a filter type code, given the form's "type" bound;
// 0 for a code the block does not know.
size_t block_pattern_bound(uint32_t filter_type, size_t type_pattern_bound);

// One parsed filter: its type code, the filterBy text as read, its patterns.
struct block_filter {
  uint32_t filter_type;
  std::string_view filter_by;
  std::span<const std::string_view> patterns;
};

struct block_filters {
  uint32_t match_type;
  std::span<const block_filter> filters;
};

enum class filter_block_status : uint8_t {
  written,
  too_many_filters,     // more than 255 filters
  too_many_patterns,    // more than 255 patterns in filter `filter`
  unknown_filter_type,  // filter `filter` has a type code the block does not know
  does_not_fit,         // the block is larger than the page's free string area
};

struct filter_block_outcome {
  filter_block_status status;
  size_t filter = 0;  // the filter concerned, for too_many_patterns and unknown_filter_type
};

// Appends the block at the page's current strings length and points the
// header's filters offset there. Each pattern is cut to its bound less one
// byte, the filterBy text to 31 bytes (bounded_text_length). A refused block
// writes nothing: the page, its strings length and its filters offset stay
// as they were.
filter_block_outcome write_filter_block(page_request &page, const block_filters &block, size_t type_pattern_bound);

// Marks the request as carrying no filter block.
inline bool write_no_filter_block(page_request &page) {
  return page.set_field(page.layout().filters_offset_field, absent_offset);
}

}  // namespace cifs
