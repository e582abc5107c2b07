// Reading the lists of texts the library returns, such as the user contexts:
// a u32 count (for the contexts in a buffer of its own), and that many
// NUL-terminated texts back to back in a block.
// Pure code: no Node-API, so native tests and fuzz targets drive it directly.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/byte_reader.h"

namespace cifs {

class context_list_reader {
 public:
  // `count` views the count buffer (fewer than 4 bytes reads as 0), `block`
  // the texts.
  context_list_reader(const byte_reader &count, const byte_reader &block);
  // For a count the caller has at hand.
  context_list_reader(uint32_t count, const byte_reader &block) : block_(block), count_(count) {}

  // The count as the library wrote it.
  uint32_t count() const { return count_; }
  // The next text, NUL-terminated in the block, or nothing once `count` texts
  // were read or the block holds no further terminated text.
  std::optional<std::string_view> next();
  // Texts handed out so far.
  uint32_t texts_read() const { return read_; }
  // Once next() has answered nothing: the block ended (or its last text was
  // unterminated) before the count was reached.
  bool cut_short() const { return read_ < count_; }

 private:
  byte_reader block_;
  uint32_t count_ = 0;
  uint32_t read_ = 0;
  size_t position_ = 0;
};

}  // namespace cifs
