#include "wire/context_list.h"

namespace cifs {

context_list_reader::context_list_reader(const byte_reader &count, const byte_reader &block)
    : block_(block), count_(count.value_at<uint32_t>(0).value_or(0)) {}

std::optional<std::string_view> context_list_reader::next() {
  if (read_ == count_) return std::nullopt;
  const std::optional<std::string_view> text = block_.text_at(position_);
  if (!text) return std::nullopt;
  position_ += text->size() + 1;  // past its NUL, which lies inside the block
  ++read_;
  return text;
}

}  // namespace cifs
