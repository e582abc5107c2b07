// Paging of the shared memory listings: which items make one page, and the
// cookies that resume a listing right after the last item of its page.
// Items carry an `order` that grows with every item ever added, so a position
// remembered by a cookie keeps its meaning when items come and go.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cifssim {

template <class Item>
struct page_of {
  std::vector<const Item *> items;
  bool more = false;  // kept items remain after the last one in the page
};

// Walks `items` in order from the one placed after `after` (0: from the
// start), keeps those `keep` accepts, skips the first `ignore` of them and
// takes up to `limit` (0: no limit).
template <class Item, class Keep>
page_of<Item> select_page(const std::vector<Item> &items, uint64_t after, uint32_t ignore, uint32_t limit,
                          Keep keep) {
  page_of<Item> page;
  uint32_t skipped = 0;
  for (const Item &item : items) {
    if (item.order <= after || !keep(item)) continue;
    if (skipped < ignore) {
      ++skipped;
    } else if (limit != 0 && page.items.size() == limit) {
      page.more = true;
      break;
    } else {
      page.items.push_back(&item);
    }
  }
  return page;
}

// How many cookies a book remembers: more would only let abandoned listings pile up.
inline constexpr size_t remembered_cookies = 1024;

// Cookies of every listing in one book. Each is issued for a scope (which
// volume, which connection, which list) and resumes only that scope; only
// the most recent ones are remembered.
class cookie_book {
 public:
  std::string issue(std::string_view scope, uint64_t after);
  // The order to resume after, or nothing for a text not issued here (or
  // forgotten) or issued for another scope. Scopes compare ignoring ASCII
  // case, as the volume names in them do.
  std::optional<uint64_t> resume_after(std::string_view text, std::string_view scope) const;

 private:
  friend struct cookie_book_file;  // the state file saves and restores the book

  struct issued {
    std::string text, scope;
    uint64_t after;
  };
  std::deque<issued> issued_;
  uint64_t next_ = 1;
};

// The cookie a page hands out: empty when nothing follows its last item.
template <class Item>
std::string cookie_for(cookie_book &book, std::string_view scope, const page_of<Item> &page) {
  if (!page.more || page.items.empty()) return "";
  return book.issue(scope, page.items.back()->order);
}

}  // namespace cifssim
