// The reader of a list request's `advancedFiltersInfo`, one for every list
// operation that takes filters. What differs between the operations is
// their form: the filterBy values they accept with their pattern bounds, the
// caps of their encoding, and the failure rows and log lines of that
// encoding (the block of the page-sized requests, or the record of the
// connections list). Where the filters go is the sink's business.
#pragma once

#include <node_api.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "request/request_instance.h"
#include "wire/filter_block.h"
#include "wire/filter_sink.h"

namespace cifs {

struct filter_by_row {
  std::string_view text;  // the accepted filterBy value (exact, case-sensitive)
  uint32_t code;
  size_t pattern_bound;   // each pattern is read into this many bytes, the NUL included
  uint32_t min_patterns;  // fewer patterns fail (range filters); 0 for any number
  bool in_pairs = false;  // lower and upper bounds: an odd count of min_patterns or more fails too
};

// The filterBy values of the block form: "search-name", and "type" read
// through the form's own bound.
template <size_t type_pattern_bound>
inline constexpr filter_by_row block_filter_by[] = {
    {"search-name", filter_type_search_name, search_name_pattern_bound, 0},
    {"type", filter_type_type, type_pattern_bound, 0},
};

enum class filter_encoding : uint8_t { block, record };

struct filter_form {
  filter_encoding encoding;
  const char *parser;          // logs the member, the match type, the filters array and its elements
  const char *element_reader;  // logs each element's filterBy and patterns
  std::span<const filter_by_row> filter_by;
  size_t max_filters;   // more are refused before any is read
  size_t max_patterns;  // per filter, likewise
  size_t max_patterns_in_all;  // of all filters together; the request fails at the filter that passes it
  const char *does_not_fit;  // the text of a set its sink cannot hold
};

// JavaScript thread. Reads the member `advancedFiltersInfo` of `request`
// (the caller has seen that it is present) and hands its match type, filters
// and patterns to `sink` in request order. Returns 0, or error_code after
// recording the failure (code, message, id, key) and logging it; nothing more
// is handed to the sink after a failure.
uint32_t read_advanced_filters(napi_env env, napi_value request, request_instance *instance,
                               const filter_form &form, filter_sink &sink);

}  // namespace cifs
