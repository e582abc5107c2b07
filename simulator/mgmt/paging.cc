#include "paging.h"

#include <algorithm>

#include "model.h"

namespace cifssim {
std::string cookie_book::issue(std::string_view scope, uint64_t after) {
  if (issued_.size() == remembered_cookies) issued_.pop_front();
  issued_.push_back({"ofc-" + std::to_string(next_++), std::string(scope), after});
  return issued_.back().text;
}

std::optional<uint64_t> cookie_book::resume_after(std::string_view text, std::string_view scope) const {
  const auto it = std::ranges::find_if(issued_, [text](const issued &c) { return c.text == text; });
  if (it == issued_.end() || !same_name(it->scope, scope)) return std::nullopt;
  return it->after;
}

}  // namespace cifssim
