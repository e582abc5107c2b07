#include "wire/filter_block_sink.h"

#include <cstring>
#include <new>

namespace cifs {

block_filter_sink::block_filter_sink(page_request &page, size_t type_pattern_bound)
    : page_(page), type_pattern_bound_(type_pattern_bound), room_(page.room()) {}

bool block_filter_sink::take(size_t bytes) {
  if (bytes > room_ - measured_) return false;
  measured_ += bytes;
  return true;
}

std::string_view block_filter_sink::keep(std::string_view text) {
  char *at = texts_.get() + texts_used_;
  std::memcpy(at, text.data(), text.size());
  texts_used_ += text.size();
  return {at, text.size()};
}

filter_refusal block_filter_sink::begin(uint32_t match_type, std::string_view) {
  match_type_ = match_type;
  if (!take(sizeof(filter_block_header))) return filter_refusal::does_not_fit;
  texts_.reset(new (std::nothrow) char[room_]);
  patterns_.reset(new (std::nothrow) std::string_view[room_]);
  filters_.reset(new (std::nothrow) block_filter[block_max_filters]);
  if (!texts_ || !patterns_ || !filters_) return filter_refusal::out_of_memory;
  return filter_refusal::none;
}

filter_refusal block_filter_sink::filter(uint32_t code, std::string_view filter_by, size_t) {
  const size_t length = bounded_text_length(filter_by, filter_by_bound);
  if (filters_used_ == block_max_filters || !take(sizeof(filter_entry_header) + length + 1))
    return filter_refusal::does_not_fit;
  pattern_bound_ = block_pattern_bound(code, type_pattern_bound_);
  filters_[filters_used_++] = {code, keep(filter_by.substr(0, length)), {patterns_.get() + patterns_used_, 0}};
  return filter_refusal::none;
}

filter_refusal block_filter_sink::pattern(std::string_view text) {
  const size_t length = bounded_text_length(text, pattern_bound_);
  if (filters_used_ == 0 || !take(length + 1)) return filter_refusal::does_not_fit;
  // measured_ <= room_ bounds both stores: each text took its NUL more than it keeps.
  patterns_[patterns_used_++] = keep(text.substr(0, length));
  block_filter &current = filters_[filters_used_ - 1];
  current.patterns = {current.patterns.data(), current.patterns.size() + 1};
  return filter_refusal::none;
}

filter_refusal block_filter_sink::finish() {
  const block_filters block{match_type_, {filters_.get(), filters_used_}};
  // The caps and the room were kept while reading; the encoder measures again.
  return write_filter_block(page_, block, type_pattern_bound_).status == filter_block_status::written
             ? filter_refusal::none
             : filter_refusal::does_not_fit;
}

}  // namespace cifs
