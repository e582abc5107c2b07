#include "wire/connection_matcher.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace cifs {

namespace {

enum class verdict : uint8_t { none, match, no_match, invalid };

std::string_view pattern_at(const filter_slot &slot, uint32_t i) {
  const char *pattern = slot.patterns[i];
  return pattern ? std::string_view(pattern, strnlen(pattern, connection_pattern_size - 1)) : std::string_view();
}

// Fixed character fields end at their size when the library filled them to the brim.
template <size_t N>
std::string_view field_text(const char (&field)[N]) {
  return {field, strnlen(field, N)};
}

bool in_range(uint64_t value, uint64_t lo, uint64_t hi) {
  if (lo == 0 && hi == 0) return value == 0;
  if (lo == 0) return value <= hi;
  if (hi == 0) return value >= lo;
  return lo <= value && value <= hi;
}

// Pairs (lo, hi) in order; the first matching pair ends the test, so a
// later invalid pattern is reached only by connections no earlier pair took.
verdict range_verdict(const filter_slot &slot, const char *key, uint64_t value, invalid_range_pattern *invalid) {
  for (uint32_t i = 0; i < slot.count; i += 2) {
    uint64_t bounds[2] = {0, 0};
    for (uint32_t k = 0; k < 2; ++k) {
      // The parser refuses odd counts; a record with one anyway reads the
      // missing upper bound as an empty pattern, which is invalid.
      const std::string_view pattern = i + k < slot.count ? pattern_at(slot, i + k) : std::string_view();
      char text[connection_pattern_size] = {};
      if (!pattern.empty()) std::memcpy(text, pattern.data(), pattern.size());  // at most 31 bytes
      int error_number = 0;
      const std::optional<int64_t> bound = parse_range_bound(text, &error_number);
      if (!bound) {
        *invalid = {key, pattern, error_number};
        return verdict::invalid;
      }
      bounds[k] = static_cast<uint64_t>(*bound);  // compared as unsigned, as the library's counters are
    }
    if (in_range(value, bounds[0], bounds[1])) return verdict::match;
  }
  return verdict::no_match;
}

verdict equal_verdict(const filter_slot &slot, std::string_view field) {
  for (uint32_t i = 0; i < slot.count; ++i)
    if (pattern_at(slot, i) == field) return verdict::match;
  return verdict::no_match;
}

verdict name_verdict(const filter_slot &slot, uint16_t number) {
  char buffer[8];
  const std::string_view text = connection_number_text(number, buffer);
  for (uint32_t i = 0; i < slot.count; ++i) {
    const std::string_view pattern = pattern_at(slot, i);
    if (pattern.size() <= text.size() && text.find(pattern) != std::string_view::npos) return verdict::match;
  }
  return verdict::no_match;
}

enum class rule : uint8_t { keep_all, all, any, none };

rule rule_of(const char (&match_type)[connection_match_type_size]) {
  const std::string_view text = field_text(match_type);
  if (text == "all") return rule::all;
  if (text == "any") return rule::any;
  if (text == "none") return rule::none;
  return rule::keep_all;
}

// The filters in the order they are evaluated.
struct filter_test {
  connection_filter_slot slot;
  verdict (*run)(const filter_slot &slot, const connection_record &record, invalid_range_pattern *invalid);
};

constexpr filter_test filter_tests[] = {
    {slot_total_bytes_read,
     [](const filter_slot &s, const connection_record &r, invalid_range_pattern *invalid) {
       return range_verdict(s, "totalBytesRead", r.total_bytes_read, invalid);
     }},
    {slot_total_bytes_written,
     [](const filter_slot &s, const connection_record &r, invalid_range_pattern *invalid) {
       return range_verdict(s, "totalBytesWritten", r.total_bytes_written, invalid);
     }},
    {slot_connection_type,
     [](const filter_slot &s, const connection_record &r, invalid_range_pattern *) {
       return equal_verdict(s, field_text(r.connection_type));
     }},
    {slot_status,
     [](const filter_slot &s, const connection_record &r, invalid_range_pattern *) {
       return equal_verdict(s, field_text(r.status));
     }},
    {slot_name,
     [](const filter_slot &s, const connection_record &r, invalid_range_pattern *) {
       return name_verdict(s, r.connection_number);
     }},
    {slot_login_time,
     [](const filter_slot &s, const connection_record &r, invalid_range_pattern *invalid) {
       return range_verdict(s, "loginTime", r.login_time, invalid);
     }},
};

}  // namespace

std::optional<int64_t> parse_range_bound(const char *pattern, int *error_number) {
  char *end = nullptr;
  errno = 0;
  const long long value = std::strtoll(pattern, &end, 10);
  *error_number = errno;
  if (*error_number == ERANGE || (*error_number != 0 && value == 0) || end == pattern || *end != '\0')
    return std::nullopt;
  return value;
}

std::string_view connection_number_text(uint16_t number, char (&buffer)[8]) {
  const int length = std::snprintf(buffer, sizeof buffer, "%u", static_cast<unsigned>(number));
  return {buffer, static_cast<size_t>(length)};
}

connection_match match_connection(const cifs_advanced_filters &filters, const connection_record &record) {
  const rule combine = rule_of(filters.match_type);
  if (combine == rule::keep_all) return {match_verdict::keep};

  verdict results[std::size(filter_tests)];
  invalid_range_pattern invalid{};
  for (size_t i = 0; i < std::size(filter_tests); ++i) {
    const filter_slot &slot = filters.slots[filter_tests[i].slot];
    const bool in_use = slot.count != 0 && slot.patterns != nullptr;
    results[i] = in_use ? filter_tests[i].run(slot, record, &invalid) : verdict::none;
    if (results[i] == verdict::invalid) return {match_verdict::invalid_pattern, invalid};
  }

  size_t matches = 0, used = 0;
  for (verdict result : results) {
    if (result == verdict::none) continue;
    ++used;
    if (result == verdict::match) ++matches;
  }
  bool keep = true;
  switch (combine) {
    case rule::all: keep = matches == used; break;
    case rule::any: keep = matches > 0; break;
    case rule::none: keep = matches == 0; break;
    case rule::keep_all: break;
  }
  return {keep ? match_verdict::keep : match_verdict::drop};
}

}  // namespace cifs
