#include "open_files_request.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "cifs_sim_status.h"
#include "mgmtclient/open_file_records.h"

namespace cifssim {
namespace {

constexpr size_t unbounded = std::numeric_limits<size_t>::max();
// Longest pattern texts the module sends: its buffers less the NUL.
constexpr size_t type_pattern_limit = 7;
constexpr size_t search_pattern_limit = 767;

// The text at `offset`, ended by a NUL inside `area`, of at most `max_length` bytes.
std::optional<std::string_view> text_in(std::span<const uint8_t> area, size_t offset, size_t max_length) {
  if (offset >= area.size()) return std::nullopt;
  const auto *start = reinterpret_cast<const char *>(area.data() + offset);
  const auto *nul = static_cast<const char *>(std::memchr(start, 0, area.size() - offset));
  if (!nul || static_cast<size_t>(nul - start) > max_length) return std::nullopt;
  return std::string_view(start, static_cast<size_t>(nul - start));
}

template <class T>
T copy_out(std::span<const uint8_t> bytes) {
  T value;
  std::memcpy(&value, bytes.data(), sizeof value);
  return value;
}

bool all_zero(std::span<const uint8_t> bytes) {
  return std::ranges::all_of(bytes, [](uint8_t b) { return b == 0; });
}

// One filter entry at the start of `entries`; `used` gets its whole length.
int32_t parse_entry(std::span<const uint8_t> entries, file_filter &out, size_t &used) {
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
    limit = type_pattern_limit;
  } else if (h.filter_type == cifs::filter_type_search_name) {
    expected = "search-name";
    limit = search_pattern_limit;
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

// The block at `offset` of the string area; its entries must fill exactly
// the length its header declares.
int32_t parse_filter_block(std::span<const uint8_t> area, uint32_t offset, filter_set &out) {
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
    file_filter filter;
    size_t used = 0;
    if (const int32_t status = parse_entry(entries, filter, used)) return status;
    out.filters.push_back(std::move(filter));
    entries = entries.subspan(used);
  }
  return entries.empty() ? CIFSSIM_OK : CIFSSIM_BAD_REQUEST;
}

}  // namespace

size_t request_page_size() { return static_cast<size_t>(sysconf(_SC_PAGESIZE)); }

std::vector<uint8_t> capture_page(const void *page, size_t page_size) {
  const auto h = copy_out<cifs::open_files_request>(
      std::span(static_cast<const uint8_t *>(page), sizeof(cifs::open_files_request)));
  const size_t strings = std::min<size_t>(h.strings_length, page_size - sizeof h);
  const auto *bytes = static_cast<const uint8_t *>(page);
  return std::vector<uint8_t>(bytes, bytes + sizeof h + strings);
}

int32_t parse_list_request(std::span<const uint8_t> page, size_t page_size, list_request &out) {
  using request = cifs::open_files_request;
  if (page.size() < sizeof(request)) return CIFSSIM_BAD_REQUEST;
  const auto h = copy_out<request>(page);
  if (h.strings_length > page_size - sizeof(request) || h.strings_length > page.size() - sizeof(request))
    return CIFSSIM_BAD_REQUEST;
  const auto area = page.subspan(sizeof(request), h.strings_length);

  list_request r{.connection = h.unused0, .ignore_count = h.ignore_count, .return_count = h.return_count};
  if (h.volume_name_offset != cifs::absent_offset) {
    const auto volume = text_in(area, h.volume_name_offset, cifs::open_files_volume_name_size - 1);
    if (!volume) return CIFSSIM_BAD_REQUEST;
    r.volume = *volume;
  }
  if (h.cookie_offset != cifs::absent_offset) {
    const auto cookie = text_in(area, h.cookie_offset, cifs::open_files_cookie_size - 1);
    if (!cookie) return CIFSSIM_BAD_REQUEST;
    r.cookie = *cookie;
  }
  if (h.filters_offset != cifs::absent_offset) {
    filter_set filters;
    if (const int32_t status = parse_filter_block(area, h.filters_offset, filters)) return status;
    r.filters = std::move(filters);
  }
  out = std::move(r);
  return CIFSSIM_OK;
}

std::optional<std::string_view> close_record_path(std::span<const uint8_t> record) {
  if (record.size() != sizeof(cifs::close_file_record)) return std::nullopt;
  if (!all_zero(record.first(sizeof(cifs::open_file_record)))) return std::nullopt;
  return text_in(record.subspan(sizeof(cifs::open_file_record)), 0, unbounded);
}

}  // namespace cifssim
