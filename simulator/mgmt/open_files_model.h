// Files that clients hold open, and the pages of them that the open files
// listing hands out. Plain data; the caller holds the state lock.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cifssim {

struct model;

struct open_file {
  std::string share{};  // the share it is open on
  uint32_t session_id = 0;  // the connection holding it open
  uint32_t file_id = 0;
  uint32_t access_mask = 0;
  uint32_t lock_level = 0;
  std::string name{}, full_path{}, user_name{}, client_address{};
  uint64_t order = 0;  // place in every listing, set by add_open_file
};

// Files in listing order. A new file goes after every file ever added, so a
// position remembered by a cookie keeps its meaning when files come and go.
struct open_files_table {
  std::vector<open_file> files{};
  uint64_t next_order = 1;
};

void add_open_file(open_files_table &table, open_file file);
open_files_table seed_open_files();

// The filters of a list request, as the advanced filter block carries them.
struct file_filter {
  uint32_t type;  // cifs::filter_type_type or cifs::filter_type_search_name
  std::vector<std::string> patterns;
};
struct filter_set {
  uint32_t match_type;  // cifs::match_type_all, _any or _none
  std::vector<file_filter> filters;
};

// The text after the last dot of a file name; empty without a dot or when the
// only dot starts the name (".profile").
std::string_view file_type(std::string_view name);
// "type" wants the file type to equal a pattern, "search-name" a pattern
// inside the file name or full path, both without regard to ASCII case; a
// filter matches when one of its patterns does. "all" keeps a file every
// filter matches, "any" one at least one filter matches, "none" one no filter
// matches, so an empty set keeps everything but under "any".
bool passes(const filter_set &set, const open_file &file);

// A list or close-all request may name a share or a volume: the files of the
// named share, or of every share on the named volume.
bool names_share_or_volume(const model &m, std::string_view name);
bool is_on(const model &m, const open_file &file, std::string_view name);

struct page_query {
  std::string_view volume;
  const filter_set *filters;  // null: every file
  uint64_t after;             // files placed after this order only (0: from the start)
  uint32_t ignore;            // matching files skipped first
  uint32_t limit;             // most files in the page; 0: no limit
};

struct file_page {
  std::vector<const open_file *> files;
  bool more = false;  // matching files remain after the last one in the page
};

file_page select_page(const model &m, const page_query &query);

// Cookies resume a listing right after the last file of the page that
// issued them. Only the most recent ones are remembered.
class cookie_book {
 public:
  std::string issue(std::string_view volume, uint64_t after);
  // The order to resume after, or nothing for a text not issued here (or
  // forgotten) or issued for another volume.
  std::optional<uint64_t> resume_after(std::string_view text, std::string_view volume) const;

 private:
  struct issued {
    std::string text, volume;
    uint64_t after;
  };
  std::deque<issued> issued_;
  uint64_t next_ = 1;
};

}  // namespace cifssim
