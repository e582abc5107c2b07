// Files that clients hold open, and the pages of them that the open files
// listing hands out. Plain data; the caller holds the state lock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "list_filters.h"

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

// Files in listing order (see paging.h for the order).
struct open_files_table {
  std::vector<open_file> files{};
  uint64_t next_order = 1;
};

void add_open_file(open_files_table &table, open_file file);
open_files_table seed_open_files();

// The text after the last dot of a file name; empty without a dot or when the
// only dot starts the name (".profile").
std::string_view file_type(std::string_view name);
// "type" wants the file type to equal a pattern, "search-name" a pattern
// inside the file name or full path, both without regard to ASCII case; a
// filter matches when one of its patterns does.
bool passes(const filter_set &set, const open_file &file);

// A list or close-all request may name a share or a volume: the files of the
// named share, or of every share on the named volume.
bool names_share_or_volume(const model &m, std::string_view name);
bool is_on(const model &m, const open_file &file, std::string_view name);

// Which files a listing covers: those on a share or volume, or those a
// connection holds open (its number is their session id).
struct listing_scope {
  std::optional<std::string> volume;  // absent: the connection's files
  uint32_t connection = 0;

  bool covers(const model &m, const open_file &file) const;
  // What its cookies are issued for, so a cookie resumes only this listing.
  std::string cookie_scope() const;
};

}  // namespace cifssim
