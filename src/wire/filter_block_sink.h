// The sink of the block form: keeps the filters read from a request until
// the set is complete, then writes them into the request page as one
// advanced filter block. It holds no more than the page could take: a set
// that grows past the page's free string area is refused as soon as it does,
// however many patterns the request still has.
#pragma once

#include <memory>

#include "wire/filter_block.h"
#include "wire/filter_sink.h"

namespace cifs {

class block_filter_sink final : public filter_sink {
 public:
  // `page` holds the request's texts so far; the block goes behind them.
  block_filter_sink(page_request &page, size_t type_pattern_bound);

  filter_refusal begin(uint32_t match_type, std::string_view match_text) override;
  filter_refusal filter(uint32_t code, std::string_view filter_by, size_t pattern_count) override;
  filter_refusal pattern(std::string_view text) override;
  // Writes the block and points the page's filters offset at it; a refusal
  // leaves the page as it was.
  filter_refusal finish() override;

 private:
  // Counts `bytes` more of the block; false when it would outgrow the room.
  bool take(size_t bytes);
  // Keeps a copy of `text` (already cut) and returns a view of it.
  std::string_view keep(std::string_view text);

  page_request &page_;
  size_t type_pattern_bound_;
  size_t room_;          // the page's free string area when reading began
  size_t measured_ = 0;  // the block's size so far, texts as cut
  // Every text takes at least its NUL in the block, so `room_` bytes hold
  // them all, and `room_` views every pattern.
  std::unique_ptr<char[]> texts_;
  size_t texts_used_ = 0;
  std::unique_ptr<std::string_view[]> patterns_;
  size_t patterns_used_ = 0;
  std::unique_ptr<block_filter[]> filters_;
  size_t filters_used_ = 0;
  size_t pattern_bound_ = 0;  // of the filter being read
  uint32_t match_type_ = 0;
};

}  // namespace cifs
