// Reading NUL-terminated texts back to back in memory the management library
// keeps for itself (the security equivalences of a connection): no extent is
// known there, so the count and each text are bounded instead, and the list
// ends at the first text without a NUL within its bound.
// Pure code: no Node-API.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

namespace cifs {

class kept_text_reader {
 public:
  // `count` texts at `texts` (null reads as none), at most `max_texts` of
  // them, each ending with its NUL within `max_bytes`.
  kept_text_reader(const char *texts, uint32_t count, uint32_t max_texts, size_t max_bytes)
      : at_(texts), count_(count), max_texts_(max_texts), max_bytes_(max_bytes) {}

  // The next text, or nothing once the count or the bound on texts is
  // reached, or at a text that does not end within its bound.
  std::optional<std::string_view> next() {
    if (at_ == nullptr || read_ == count_ || read_ == max_texts_) return std::nullopt;
    const void *nul = std::memchr(at_, '\0', max_bytes_);
    if (nul == nullptr) {
      at_ = nullptr;  // nothing after an unterminated text can be found
      return std::nullopt;
    }
    const std::string_view text(at_, static_cast<size_t>(static_cast<const char *>(nul) - at_));
    at_ += text.size() + 1;
    ++read_;
    return text;
  }

  uint32_t texts_read() const { return read_; }
  // Once next() has answered nothing: fewer texts were read than the count gives.
  bool cut_short() const { return read_ < count_; }

 private:
  const char *at_;
  uint32_t count_;
  uint32_t max_texts_;
  size_t max_bytes_;
  uint32_t read_ = 0;
};

}  // namespace cifs
