// Where a list request's advanced filters go once they are read: the reader
// of `advancedFiltersInfo` checks the request and hands each accepted text
// to a sink, and the sink keeps them the way its form needs (a block in the
// request page, or records in the request instance). Pure code: no Node-API.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cifs {

// Why a sink refused a text; the reader turns it into the request's error.
enum class filter_refusal : uint8_t {
  none,
  does_not_fit,   // the filters would not fit the record they go into
  out_of_memory,  // storage for them could not be allocated
};

// Called in request order: begin once, then per filter `filter` and its
// patterns, then finish. After a refusal nothing more is called, and the
// sink's destructor releases whatever it held.
class filter_sink {
 public:
  virtual ~filter_sink() = default;
  virtual filter_refusal begin(uint32_t match_type, std::string_view match_text) = 0;
  // A filter whose filterBy text was accepted as `code`; `pattern_count` patterns follow.
  virtual filter_refusal filter(uint32_t code, std::string_view filter_by, size_t pattern_count) = 0;
  virtual filter_refusal pattern(std::string_view text) = 0;
  virtual filter_refusal finish() = 0;
};

}  // namespace cifs
