#include "wire/filter_block.h"

namespace cifs {

std::optional<uint32_t> code_of(std::span<const code_row> rows, std::string_view text) {
  for (const code_row &row : rows)
    if (row.text == text) return row.code;
  return std::nullopt;
}

size_t block_pattern_bound(uint32_t filter_type, size_t type_pattern_bound) {
  switch (filter_type) {
    case filter_type_search_name: return search_name_pattern_bound;
    case filter_type_type: return type_pattern_bound;
    default: return 0;
  }
}

namespace {

// The bytes one entry's strings take: filterBy and every pattern, as cut, each with its NUL.
size_t entry_strings_length(const block_filter &filter, size_t pattern_bound) {
  size_t length = bounded_text_length(filter.filter_by, filter_by_bound) + 1;
  for (std::string_view pattern : filter.patterns) length += bounded_text_length(pattern, pattern_bound) + 1;
  return length;
}

bool append_entry(page_request &page, const block_filter &filter, size_t pattern_bound) {
  filter_entry_header entry{};
  entry.filter_type = filter.filter_type;
  entry.pattern_count = static_cast<uint8_t>(filter.patterns.size());
  entry.patterns_offset = static_cast<uint32_t>(bounded_text_length(filter.filter_by, filter_by_bound) + 1);
  entry.strings_length = static_cast<uint32_t>(entry_strings_length(filter, pattern_bound));
  if (!page.append(entry) || !page.append_text(filter.filter_by, filter_by_bound)) return false;
  for (std::string_view pattern : filter.patterns)
    if (!page.append_text(pattern, pattern_bound)) return false;
  return true;
}

}  // namespace

filter_block_outcome write_filter_block(page_request &page, const block_filters &block, size_t type_pattern_bound) {
  if (block.filters.size() > block_max_filters) return {filter_block_status::too_many_filters};
  // Measured before anything is written, so a refusal leaves the page untouched.
  // The caps keep the sum far below any overflow (255 * (52 + 255 * 768)).
  size_t entries_length = 0;
  for (size_t i = 0; i < block.filters.size(); ++i) {
    const block_filter &filter = block.filters[i];
    const size_t bound = block_pattern_bound(filter.filter_type, type_pattern_bound);
    if (bound == 0) return {filter_block_status::unknown_filter_type, i};
    if (filter.patterns.size() > block_max_patterns) return {filter_block_status::too_many_patterns, i};
    entries_length += sizeof(filter_entry_header) + entry_strings_length(filter, bound);
  }
  if (sizeof(filter_block_header) + entries_length > page.room()) return {filter_block_status::does_not_fit};

  const uint32_t block_at = page.strings_length();
  filter_block_header header{};
  header.filter_count = static_cast<uint8_t>(block.filters.size());
  header.match_type = block.match_type;
  header.entries_length = static_cast<uint32_t>(entries_length);
  bool written = page.append(header).has_value();
  for (size_t i = 0; written && i < block.filters.size(); ++i)
    written = append_entry(page, block.filters[i], block_pattern_bound(block.filters[i].filter_type, type_pattern_bound));
  if (!written || !page.set_field(page.layout().filters_offset_field, block_at)) {
    // Not reached for a layout whose filters offset lies in its header (the
    // measurement above saw the room); kept so no half block is ever sent.
    page.rewind(block_at);
    return {filter_block_status::does_not_fit};
  }
  return {filter_block_status::written};
}

}  // namespace cifs
