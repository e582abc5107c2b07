#include "open_files_model.h"

#include <algorithm>
#include <iterator>

#include "wire_layout.h"
#include "model.h"

namespace cifssim {
namespace {

bool filter_matches(const list_filter &filter, const open_file &file) {
  return std::ranges::any_of(filter.patterns, [&](const std::string &pattern) {
    if (filter.type == wire::filter_entry::type_type) return same_name(file_type(file.name), pattern);
    return contains_ignoring_case(file.name, pattern) || contains_ignoring_case(file.full_path, pattern);
  });
}

}  // namespace

void add_open_file(open_files_table &table, open_file file) {
  file.order = table.next_order++;
  table.files.push_back(std::move(file));
}

// Three clients with files on three shares: extensions of every kind (none,
// dotfile, trailing dot, double, upper case), each access right and lock
// level, and as many files per share as the seed shares report open.
open_files_table seed_open_files() {
  struct client {
    uint32_t session;
    const char *user, *address;
  };
  constexpr client clients[] = {{1, "alice", "10.0.0.11"}, {2, "bob", "10.0.0.12"}, {7, "carol", "fe80::7"}};
  constexpr uint32_t masks[] = {0x00000001, 0x00000003, 0x60000003, 0x0000000f, 0x20000001, 0x40000002};
  constexpr const char *data_files[] = {"report.pdf", "budget.xlsx", "minutes.docx", "archive.tar.gz",
                                        "README",     ".profile",    "plan.PDF",     "notes.txt",
                                        "logo.png",   "data.csv",    "draft.docx",   "notes."};
  constexpr const char *home_files[] = {"mail.pst", "todo.txt", "photo.jpg", "cv.docx"};

  open_files_table t;
  uint32_t n = 0;
  auto add = [&](const char *share, std::string directory, const char *name) {
    const client &c = clients[n % std::size(clients)];
    add_open_file(t, {.share = share,
                      .session_id = c.session,
                      .file_id = 100 + n,
                      .access_mask = masks[n % std::size(masks)],
                      .lock_level = n % 11,
                      .name = name,
                      .full_path = directory + "/" + name,
                      .user_name = c.user,
                      .client_address = c.address});
    ++n;
  };
  for (const char *name : data_files) add("DATA", n % 2 ? "/DATA/reports" : "/DATA", name);
  for (const char *name : home_files) add("home", "/HOME/users/" + std::string(clients[n % 3].user), name);
  add("SYS", "/SYS", "system.log");
  return t;
}

std::string_view file_type(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return {};
  return name.substr(dot + 1);
}

bool passes(const filter_set &set, const open_file &file) {
  return filters_keep(set, [&file](const list_filter &f) { return filter_matches(f, file); });
}

bool names_share_or_volume(const model &m, std::string_view name) {
  return has_volume(m, name) ||
         std::ranges::any_of(m.shares, [name](const share &s) { return same_name(s.name, name); });
}

bool is_on(const model &m, const open_file &file, std::string_view name) {
  if (same_name(file.share, name)) return true;
  const auto s = std::ranges::find_if(m.shares, [&file](const share &x) { return same_name(x.name, file.share); });
  return s != m.shares.end() && same_name(s->volume, name);
}

bool listing_scope::covers(const model &m, const open_file &file) const {
  return volume ? is_on(m, file, *volume) : file.session_id == connection;
}

std::string listing_scope::cookie_scope() const {
  return volume ? "volume:" + *volume : "connection:" + std::to_string(connection);
}

}  // namespace cifssim
