// The management library's section of the state file: the model, the failure
// rules still to fire, the delay and the issued cookies. Call logs, raw
// results and kept records stay with the process that made them.
#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "../common/state_file.h"
#include "call_log.h"
#include "state.h"

namespace cifssim {

struct cookie_book_file {
  static std::string save(const cookie_book &book) {
    std::string out = simstate::tagged_line("cookies-next", std::tie(book.next_));
    for (const auto &c : book.issued_) out += simstate::tagged_line("cookie", std::tie(c.text, c.scope, c.after));
    return out;
  }
  static bool load_next(const std::vector<std::string> &f, cookie_book &book) {
    return simstate::read_members(f, 1, std::tie(book.next_));
  }
  static bool load_cookie(const std::vector<std::string> &f, cookie_book &book) {
    if (book.issued_.size() == remembered_cookies) return false;
    cookie_book::issued c;
    if (!simstate::read_members(f, 1, std::tie(c.text, c.scope, c.after))) return false;
    book.issued_.push_back(std::move(c));
    return true;
  }
};

namespace {

using simstate::read_members;
using simstate::tagged_line;
using fields = std::vector<std::string>;

// The members each line holds, in line order; one tie serves saving and loading.
template <class S>
auto share_members(S &s) {
  return std::tie(s.name, s.volume, s.relative_path, s.absolute_path, s.comment, s.type, s.name_space, s.encryption,
                  s.folder_redirection, s.atm_backup, s.open_files);
}
template <class F>
auto open_file_members(F &f) {
  return std::tie(f.share, f.session_id, f.file_id, f.access_mask, f.lock_level, f.name, f.full_path, f.user_name,
                  f.client_address, f.order);
}
template <class C>
auto connection_members(C &c) {
  return std::tie(c.number, c.user_name, c.client_address, c.type, c.status, c.privileges, c.channels, c.encrypted,
                  c.total_requests, c.bytes_read, c.bytes_written, c.login_time);
}
template <class U>
auto invalid_user_members(U &u) {
  return std::tie(u.name, u.state, u.client_address, u.last_attempt_time, u.order);
}
template <class R>
auto failure_members(R &r) {
  return std::tie(r.call, r.status, r.name, r.times_left, r.until_reset);
}

std::string save_state() {
  const sim_state &st = state();
  const model &m = st.data;
  std::string out = tagged_line("delay", std::tie(st.delay_ms));
  for (const auto &v : m.volumes) out += tagged_line("volume", std::tie(v));
  for (const auto &s : m.shares) out += tagged_line("share", share_members(s));
  for (const auto &c : m.contexts) out += tagged_line("context", std::tie(c));
  out += tagged_line("open-files-next", std::tie(m.open_files.next_order));
  for (const auto &f : m.open_files.files) out += tagged_line("open-file", open_file_members(f));
  for (const auto &c : m.connections) {
    out += tagged_line("connection", connection_members(c));
    // These lines belong to the connection line above them.
    for (const auto &s : c.security_equivalences) out += tagged_line("security-equivalence", std::tie(s));
    for (const auto &s : c.mapped_shares) out += tagged_line("mapped-share", std::tie(s));
  }
  out += tagged_line("invalid-users-next", std::tie(m.invalid_users.next_order));
  for (const auto &u : m.invalid_users.users) out += tagged_line("invalid-user", invalid_user_members(u));
  for (const auto &r : st.failures) out += tagged_line("failure", failure_members(r));
  return out + cookie_book_file::save(st.cookies);
}

// Everything the file can hold, read into fresh values first so an
// unreadable file changes nothing.
struct loaded {
  model data{};
  std::vector<failure_rule> failures{};
  cookie_book cookies{};
  uint32_t delay_ms = 0;
};

template <class Item>
bool append(const fields &f, std::vector<Item> &list, auto members_of) {
  Item item{};
  if (!read_members(f, 1, members_of(item))) return false;
  list.push_back(std::move(item));
  return true;
}

bool append_text(const fields &f, std::vector<std::string> &list) {
  if (f.size() != 2) return false;
  list.push_back(f[1]);
  return true;
}

using line_reader = std::function<bool(const fields &, loaded &)>;

const std::map<std::string, line_reader, std::less<>> &line_readers() {
  static const std::map<std::string, line_reader, std::less<>> readers = {
      {"delay", [](const fields &f, loaded &l) { return read_members(f, 1, std::tie(l.delay_ms)); }},
      {"volume", [](const fields &f, loaded &l) { return append_text(f, l.data.volumes); }},
      {"share", [](const fields &f, loaded &l) { return append(f, l.data.shares, share_members<share>); }},
      {"context", [](const fields &f, loaded &l) { return append_text(f, l.data.contexts); }},
      {"open-files-next",
       [](const fields &f, loaded &l) { return read_members(f, 1, std::tie(l.data.open_files.next_order)); }},
      {"open-file",
       [](const fields &f, loaded &l) { return append(f, l.data.open_files.files, open_file_members<open_file>); }},
      {"connection",
       [](const fields &f, loaded &l) { return append(f, l.data.connections, connection_members<connection>); }},
      {"security-equivalence",
       [](const fields &f, loaded &l) {
         return !l.data.connections.empty() && append_text(f, l.data.connections.back().security_equivalences);
       }},
      {"mapped-share",
       [](const fields &f, loaded &l) {
         return !l.data.connections.empty() && append_text(f, l.data.connections.back().mapped_shares);
       }},
      {"invalid-users-next",
       [](const fields &f, loaded &l) { return read_members(f, 1, std::tie(l.data.invalid_users.next_order)); }},
      {"invalid-user",
       [](const fields &f, loaded &l) {
         return append(f, l.data.invalid_users.users, invalid_user_members<invalid_user>);
       }},
      {"failure", [](const fields &f, loaded &l) { return append(f, l.failures, failure_members<failure_rule>); }},
      {"cookies-next", [](const fields &f, loaded &l) { return cookie_book_file::load_next(f, l.cookies); }},
      {"cookie", [](const fields &f, loaded &l) { return cookie_book_file::load_cookie(f, l.cookies); }},
  };
  return readers;
}

std::string folded(std::string_view name) {
  std::string out(name);
  for (char &c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// Names that are neither empty nor the same as another but for ASCII case.
template <class Item>
bool distinct_names(const std::vector<Item> &items, auto name_of) {
  std::set<std::string> seen;
  return std::ranges::all_of(items, [&](const Item &i) {
    const std::string_view name = name_of(i);
    return !name.empty() && seen.insert(folded(name)).second;
  });
}

// Orders as add_open_file and add_invalid_user hand them out: rising, below the next one.
template <class Item>
bool ordered(const std::vector<Item> &items, uint64_t next) {
  uint64_t last = 0;
  for (const Item &i : items) {
    if (i.order <= last || i.order >= next) return false;
    last = i.order;
  }
  return true;
}

bool distinct_connections(const std::vector<connection> &connections) {
  std::set<uint16_t> numbers;
  return std::ranges::all_of(connections, [&numbers](const connection &c) {
    return numbers.insert(c.number).second &&
           distinct_names(c.mapped_shares, [](const std::string &name) -> std::string_view { return name; });
  });
}

// What the controls would refuse to set is not taken from a file either, so
// a hand-edited or planted line cannot make every call sleep for weeks or
// break what the listings rely on.
bool as_controls_allow(const loaded &l) {
  const model &m = l.data;
  const auto &files = m.open_files.files;
  const auto &users = m.invalid_users.users;
  return l.delay_ms <= max_delay_ms &&
         distinct_names(m.volumes, [](const std::string &volume) -> std::string_view { return volume; }) &&
         distinct_names(m.shares, [](const share &s) -> std::string_view { return s.name; }) &&
         std::ranges::none_of(files, [](const open_file &f) { return f.name.empty(); }) &&
         ordered(files, m.open_files.next_order) && distinct_connections(m.connections) &&
         distinct_names(users, [](const invalid_user &u) -> std::string_view { return u.name; }) &&
         std::ranges::all_of(users, [](const invalid_user &u) { return u.name.size() <= invalid_user_name_limit; }) &&
         ordered(users, m.invalid_users.next_order) &&
         std::ranges::all_of(l.failures, [](const failure_rule &r) { return is_library_call(r.call); });
}

bool load_state(std::string_view lines) {
  loaded l;
  const bool readable = simstate::read_lines(lines, [&l](const fields &f) {
    const auto reader = line_readers().find(f[0]);
    return reader != line_readers().end() && reader->second(f, l);
  });
  if (!readable || !as_controls_allow(l)) return false;
  sim_state &st = state();
  st.data = std::move(l.data);
  st.failures = std::move(l.failures);
  st.cookies = std::move(l.cookies);
  st.delay_ms = l.delay_ms;
  return true;
}

}  // namespace

const simstate::section_codec state_codec{"mgmt", save_state, load_state};

}  // namespace cifssim
