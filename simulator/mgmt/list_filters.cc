#include "list_filters.h"

#include <cctype>

#include "cifs_sim_status.h"

namespace cifssim {
namespace {

// One filter entry at the start of `entries`; `used` gets its whole length.
int32_t parse_entry(std::span<const uint8_t> entries, pattern_limits limits, list_filter &out, size_t &used) {
  using entry = cifs::filter_entry_header;
  if (entries.size() < sizeof(entry)) return CIFSSIM_BAD_REQUEST;
  const auto h = copy_out<entry>(entries);
  if (!all_zero(entries.subspan(offsetof(entry, zero0), offsetof(entry, patterns_offset) - offsetof(entry, zero0))))
    return CIFSSIM_BAD_REQUEST;
  if (h.strings_length > entries.size() - sizeof(entry)) return CIFSSIM_BAD_REQUEST;

  std::string_view expected;
  size_t limit = 0;
  if (h.filter_type == cifs::filter_type_type) {
    expected = "type";
    limit = limits.type;
  } else if (h.filter_type == cifs::filter_type_search_name) {
    expected = "search-name";
    limit = limits.search_name;
  } else {
    return CIFSSIM_BAD_FILTER;
  }

  const auto strings = entries.subspan(sizeof(entry), h.strings_length);
  const auto filter_by = text_in(strings, 0, unbounded);
  if (!filter_by) return CIFSSIM_BAD_REQUEST;
  if (*filter_by != expected) return CIFSSIM_BAD_FILTER;
  size_t at = filter_by->size() + 1;
  if (h.patterns_offset != at) return CIFSSIM_BAD_REQUEST;
  out = {h.filter_type, {}};
  for (unsigned j = 0; j < h.pattern_count; ++j) {
    const auto pattern = text_in(strings, at, unbounded);
    if (!pattern) return CIFSSIM_BAD_REQUEST;
    if (pattern->size() > limit) return CIFSSIM_BAD_FILTER;
    out.patterns.emplace_back(*pattern);
    at += pattern->size() + 1;
  }
  // A pattern count cut to 8 bits leaves patterns behind; so does any other lie.
  if (at != strings.size()) return CIFSSIM_BAD_REQUEST;
  used = sizeof(entry) + h.strings_length;
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
  using block = cifs::filter_block_header;
  if (offset > area.size() || area.size() - offset < sizeof(block)) return CIFSSIM_BAD_REQUEST;
  const auto bytes = area.subspan(offset);
  const auto h = copy_out<block>(bytes);
  if (!all_zero(bytes.subspan(offsetof(block, zero0), sizeof h.zero0))) return CIFSSIM_BAD_REQUEST;
  if (h.match_type < cifs::match_type_all || h.match_type > cifs::match_type_none) return CIFSSIM_BAD_FILTER;
  if (h.entries_length > bytes.size() - sizeof(block)) return CIFSSIM_BAD_REQUEST;

  auto entries = bytes.subspan(sizeof(block), h.entries_length);
  out = {h.match_type, {}};
  for (unsigned i = 0; i < h.filter_count; ++i) {
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
