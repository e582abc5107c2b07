// The connections list's filters as its parser reads them into the filter
// record (values/connection_filter_record.h). Pure code: no Node-API.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "wire/connection_filter_record.h"
#include "wire/filter_sink.h"

namespace cifs {

// Patterns of all the filters of one request together: far above any real
// use, and reached in a fraction of a second, where 65,535 filters of
// 65,535 patterns each would keep the JavaScript thread for an hour.
inline constexpr size_t connection_max_patterns_in_all = 100000;

// Fills a filter record from the filters reader. A filter is stored in its
// slot once its patterns are all read (a later filter of the same filterBy
// replaces it); one refused half-way is released by the sink, while those
// stored before stay with the record.
class connection_filter_sink final : public filter_sink {
 public:
  explicit connection_filter_sink(cifs_advanced_filters &record) : record_(record) {}
  ~connection_filter_sink() override { drop_pending(); }

  filter_refusal begin(uint32_t match_type, std::string_view match_text) override;
  filter_refusal filter(uint32_t slot, std::string_view filter_by, size_t pattern_count) override;
  filter_refusal pattern(std::string_view text) override;
  filter_refusal finish() override;

 private:
  void commit_pending();
  void drop_pending();

  cifs_advanced_filters &record_;
  uint32_t slot_ = 0;
  uint16_t count_ = 0;
  uint16_t filled_ = 0;
  char **patterns_ = nullptr;
  bool pending_ = false;
};

}  // namespace cifs
