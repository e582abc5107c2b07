// Whether one connection passes the connections list's filters: the tests of
// each filter in use and the match rule that combines their verdicts. Pure
// code over the filter record and one connection record: no Node-API, no
// logging, no state, so native tests and a fuzz target drive it directly.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "wire/connection_filters.h"
#include "wire/connection_records.h"

namespace cifs {

// A range pattern that is not a whole decimal number.
struct invalid_range_pattern {
  const char *filter_key;    // "totalBytesRead", "totalBytesWritten" or "loginTime"
  std::string_view pattern;  // inside the filter record
  int error_number;          // the conversion's: 0 for "12kB" or "", ERANGE past the signed 64-bit range
};

enum class match_verdict : uint8_t { keep, drop, invalid_pattern };

struct connection_match {
  match_verdict verdict;
  invalid_range_pattern invalid{};  // set for invalid_pattern
};

// Evaluates every filter in use, in the order totalBytesRead,
// totalBytesWritten, connectionType, status, name, loginTime; the first
// invalid range pattern reached ends the evaluation. A match type other than
// "all", "any" and "none" (the parser accepts no other) keeps everything, as
// the empty one does.
connection_match match_connection(const cifs_advanced_filters &filters, const connection_record &record);

// A range bound: base 10, optional sign, signed 64 bits, nothing after the
// digits. Nothing, with the conversion's errno in `*error_number`, otherwise.
std::optional<int64_t> parse_range_bound(const char *pattern, int *error_number);

// The connection number as the "name" filter sees it: decimal, no leading zeros.
std::string_view connection_number_text(uint16_t number, char (&buffer)[8]);

}  // namespace cifs
