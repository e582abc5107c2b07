#include "wire/connection_filters.h"

#include <cstdlib>
#include <cstring>

namespace cifs {

filter_refusal connection_filter_sink::begin(uint32_t, std::string_view match_text) {
  const size_t length = match_text.size() < sizeof record_.match_type ? match_text.size() : sizeof record_.match_type - 1;
  std::memcpy(record_.match_type, match_text.data(), length);
  record_.match_type[length] = '\0';
  return filter_refusal::none;
}

filter_refusal connection_filter_sink::filter(uint32_t slot, std::string_view, size_t pattern_count) {
  commit_pending();
  if (slot >= connection_filter_slot_count || pattern_count > connection_max_patterns)
    return filter_refusal::does_not_fit;
  slot_ = slot;
  count_ = static_cast<uint16_t>(pattern_count);
  filled_ = 0;
  // An empty filter keeps no array: its slot only goes out of use.
  patterns_ = count_ ? static_cast<char **>(std::calloc(count_, sizeof(char *))) : nullptr;
  pending_ = true;
  return count_ && patterns_ == nullptr ? filter_refusal::out_of_memory : filter_refusal::none;
}

filter_refusal connection_filter_sink::pattern(std::string_view text) {
  if (!pending_ || filled_ >= count_) return filter_refusal::does_not_fit;
  char *buffer = static_cast<char *>(std::calloc(1, connection_pattern_size));
  if (buffer == nullptr) return filter_refusal::out_of_memory;
  patterns_[filled_++] = buffer;
  // The reader cut the text to its bound already; this copy never writes past the buffer.
  const size_t length = text.size() < connection_pattern_size ? text.size() : connection_pattern_size - 1;
  std::memcpy(buffer, text.data(), length);
  return filter_refusal::none;
}

filter_refusal connection_filter_sink::finish() {
  commit_pending();
  return filter_refusal::none;
}

void connection_filter_sink::commit_pending() {
  if (!pending_) return;
  filter_slot &slot = record_.slots[slot_];
  free_a_filter_list(slot.count, slot.patterns);  // a repeated filterBy replaces the earlier one
  slot = {count_, patterns_};
  patterns_ = nullptr;
  pending_ = false;
}

void connection_filter_sink::drop_pending() {
  if (!pending_) return;
  free_a_filter_list(count_, patterns_);
  patterns_ = nullptr;
  pending_ = false;
}

}  // namespace cifs
