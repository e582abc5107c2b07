// Reading NUL-terminated texts back to back in memory the management library
// keeps for itself (the security equivalences of a connection): no extent is
// known there, so the count, each text and all of them together are bounded
// instead, and the list ends at the first text without a NUL within its bound.
// Pure code: no Node-API.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

namespace cifs {

// Why a reader handed out fewer texts than the count gives.
enum class kept_text_cut : uint8_t {
  none,
  no_texts,      // the texts pointer is null
  too_many,      // the bound on texts was reached
  text_too_long, // a text has no NUL within its bound
  total_reached, // the texts together reach the bound on bytes
};

class kept_text_reader {
 public:
  // `count` texts at `texts` (null reads as none), at most `max_texts` of
  // them, each ending with its NUL within `max_bytes`, and all of them
  // within `max_total` bytes.
  kept_text_reader(const char *texts, uint32_t count, uint32_t max_texts, size_t max_bytes, size_t max_total)
      : at_(texts), count_(count), max_texts_(max_texts), max_bytes_(max_bytes), left_(max_total) {}

  // The next text, or nothing once the count is reached or a bound cuts.
  std::optional<std::string_view> next() {
    if (read_ == count_ || cut_ != kept_text_cut::none) return std::nullopt;
    if (at_ == nullptr) return stop(kept_text_cut::no_texts);
    if (read_ == max_texts_) return stop(kept_text_cut::too_many);
    const size_t bound = std::min(max_bytes_, left_);
    const void *nul = std::memchr(at_, '\0', bound);
    if (nul == nullptr) return stop(bound < max_bytes_ ? kept_text_cut::total_reached : kept_text_cut::text_too_long);
    const std::string_view text(at_, static_cast<size_t>(static_cast<const char *>(nul) - at_));
    at_ += text.size() + 1;
    left_ -= text.size() + 1;
    ++read_;
    return text;
  }

  uint32_t texts_read() const { return read_; }
  // Once next() has answered nothing: why fewer texts were read than the
  // count gives (none when they all were).
  kept_text_cut cut() const { return cut_; }

 private:
  std::nullopt_t stop(kept_text_cut why) {
    cut_ = why;
    return std::nullopt;
  }

  const char *at_;
  uint32_t count_;
  uint32_t max_texts_;
  size_t max_bytes_;
  size_t left_;
  uint32_t read_ = 0;
  kept_text_cut cut_ = kept_text_cut::none;
};

}  // namespace cifs
