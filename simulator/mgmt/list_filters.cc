#include "list_filters.h"

#include <cctype>

#include "byte_order.h"
#include "cifs_sim_status.h"

namespace cifssim {
namespace {

namespace entry = wire::filter_entry;
namespace block = wire::filter_block;

// One filter entry at the start of `entries`; `used` gets its whole length.
int32_t parse_entry(std::span<const uint8_t> entries, pattern_limits limits, list_filter &out, size_t &used) {
  if (entries.size() < entry::header_size) return CIFSSIM_BAD_REQUEST;
  if (!all_zero(entries.subspan(entry::zero_from, entry::patterns_offset - entry::zero_from)))
    return CIFSSIM_BAD_REQUEST;
  const uint32_t type = get_u32(entries, entry::type);
  const uint8_t pattern_count = get_u8(entries, entry::pattern_count);
  const uint32_t patterns_offset = get_u32(entries, entry::patterns_offset);
  const uint32_t strings_length = get_u32(entries, entry::strings_length);
  if (strings_length > entries.size() - entry::header_size) return CIFSSIM_BAD_REQUEST;

  std::string_view expected;
  size_t limit = 0;
  if (type == entry::type_type) {
    expected = "type";
    limit = limits.type;
  } else if (type == entry::type_search_name) {
    expected = "search-name";
    limit = limits.search_name;
  } else {
    return CIFSSIM_BAD_FILTER;
  }

  const auto strings = entries.subspan(entry::header_size, strings_length);
  const auto filter_by = text_in(strings, 0, unbounded);
  if (!filter_by) return CIFSSIM_BAD_REQUEST;
  if (*filter_by != expected) return CIFSSIM_BAD_FILTER;
  size_t at = filter_by->size() + 1;
  if (patterns_offset != at) return CIFSSIM_BAD_REQUEST;
  out = {type, {}};
  for (unsigned j = 0; j < pattern_count; ++j) {
    const auto pattern = text_in(strings, at, unbounded);
    if (!pattern) return CIFSSIM_BAD_REQUEST;
    if (pattern->size() > limit) return CIFSSIM_BAD_FILTER;
    out.patterns.emplace_back(*pattern);
    at += pattern->size() + 1;
  }
  // A pattern count cut to 8 bits leaves patterns behind; so does any other lie.
  if (at != strings.size()) return CIFSSIM_BAD_REQUEST;
  used = entry::header_size + strings_length;
  return CIFSSIM_OK;
}

}  // namespace

std::optional<std::string_view> text_in(std::span<const uint8_t> area, size_t offset, size_t max_length) {
  if (offset >= area.size()) return std::nullopt;
  const auto *start = reinterpret_cast<const char *>(area.data() + offset);
  const auto *nul = static_cast<const char *>(std::memchr(start, 0, area.size() - offset));
  if (!nul || static_cast<size_t>(nul - start) > max_length) return std::nullopt;
  return std::string_view(start, static_cast<size_t>(nul - start));
}

int32_t parse_filter_block(std::span<const uint8_t> area, uint32_t offset, pattern_limits limits, filter_set &out) {
  if (offset > area.size() || area.size() - offset < block::header_size) return CIFSSIM_BAD_REQUEST;
  const auto bytes = area.subspan(offset);
  if (!all_zero(bytes.subspan(block::filter_count + 1, block::match_type - block::filter_count - 1)))
    return CIFSSIM_BAD_REQUEST;
  const uint8_t filter_count = get_u8(bytes, block::filter_count);
  const uint32_t match_type = get_u32(bytes, block::match_type);
  const uint32_t entries_length = get_u32(bytes, block::entries_length);
  if (match_type < block::match_all || match_type > block::match_none) return CIFSSIM_BAD_FILTER;
  if (entries_length > bytes.size() - block::header_size) return CIFSSIM_BAD_REQUEST;

  auto entries = bytes.subspan(block::header_size, entries_length);
  out = {match_type, {}};
  for (unsigned i = 0; i < filter_count; ++i) {
    list_filter filter;
    size_t used = 0;
    if (const int32_t status = parse_entry(entries, limits, filter, used)) return status;
    out.filters.push_back(std::move(filter));
    entries = entries.subspan(used);
  }
  return entries.empty() ? CIFSSIM_OK : CIFSSIM_BAD_REQUEST;
}

bool contains_ignoring_case(std::string_view text, std::string_view part) {
  const auto same = [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); };
  const auto found = std::search(text.begin(), text.end(), part.begin(), part.end(), same);
  return found != text.end() || part.empty();
}

}  // namespace cifssim
