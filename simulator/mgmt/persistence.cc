// The management library's sections: the model, the failure rules still to
// fire, the delay and the issued cookies, each as the tagged lines that the
// state file holds and the controls get and set. Call logs, raw results and
// kept records stay with the process that made them.
#include <algorithm>
#include <set>

#include "call_log.h"
#include "state.h"
#include "wire_layout.h"

namespace cifssim {

struct cookie_book_file {
  static void save(const cookie_book &book, std::string &out) {
    out += simstate::tagged_line("cookies-next", std::tie(book.next_));
    for (const auto &c : book.issued_) out += simstate::tagged_line("cookie", std::tie(c.text, c.scope, c.after));
  }
  static bool load_next(const simstate::fields &f, cookie_book &book) {
    return simstate::read_members(f, 1, std::tie(book.next_));
  }
  static bool load_cookie(const simstate::fields &f, cookie_book &book) {
    if (book.issued_.size() == remembered_cookies) return false;
    cookie_book::issued c;
    if (!simstate::read_members(f, 1, std::tie(c.text, c.scope, c.after))) return false;
    book.issued_.push_back(std::move(c));
    return true;
  }
};

namespace {

using simstate::fields;
using simstate::read_members;
using simstate::tagged_line;
using line = simstate::line_rule<persisted>;
using section = simstate::section_rule<persisted>;

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

template <class Item>
void save_list(std::string &out, std::string_view tag, const std::vector<Item> &items, auto members_of) {
  for (const Item &i : items) out += tagged_line(tag, members_of(i));
}

void save_texts(std::string &out, std::string_view tag, const std::vector<std::string> &texts) {
  for (const auto &t : texts) out += tagged_line(tag, std::tie(t));
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

bool distinct_texts(const std::vector<std::string> &texts) {
  return distinct_names(texts, [](const std::string &t) -> std::string_view { return t; });
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

// Texts that go into a fixed record field must leave room for its NUL.
bool fits(const std::string &text, size_t field_size) { return text.size() < field_size; }

bool connection_fits(const connection &c) {
  namespace layout = wire::connection;
  return fits(c.user_name, layout::user_name_size) && fits(c.client_address, layout::client_address_size) &&
         fits(c.type, layout::type_size) && fits(c.status, layout::status_size) &&
         fits(c.privileges, layout::privileges_size) && distinct_texts(c.mapped_shares);
}

const share *share_named(const model &m, std::string_view name) {
  const auto it = std::ranges::find_if(m.shares, [name](const share &s) { return same_name(s.name, name); });
  return it == m.shares.end() ? nullptr : &*it;
}

// Line readers, by section.
constexpr line delay_lines[] = {
    {"delay", [](const fields &f, persisted &p) { return read_members(f, 1, std::tie(p.delay_ms)); }}};
constexpr line volume_lines[] = {
    {"volume", [](const fields &f, persisted &p) { return append_text(f, p.data.volumes); }}};
constexpr line share_lines[] = {
    {"share", [](const fields &f, persisted &p) { return append(f, p.data.shares, share_members<share>); }}};
constexpr line context_lines[] = {
    {"context", [](const fields &f, persisted &p) { return append_text(f, p.data.contexts); }}};
constexpr line open_file_lines[] = {
    {"open-files-next",
     [](const fields &f, persisted &p) { return read_members(f, 1, std::tie(p.data.open_files.next_order)); }},
    {"open-file",
     [](const fields &f, persisted &p) { return append(f, p.data.open_files.files, open_file_members<open_file>); }}};
// The lines of a connection's lists follow its own line.
constexpr line connection_lines[] = {
    {"connection",
     [](const fields &f, persisted &p) { return append(f, p.data.connections, connection_members<connection>); }},
    {"security-equivalence",
     [](const fields &f, persisted &p) {
       return !p.data.connections.empty() && append_text(f, p.data.connections.back().security_equivalences);
     }},
    {"mapped-share", [](const fields &f, persisted &p) {
       return !p.data.connections.empty() && append_text(f, p.data.connections.back().mapped_shares);
     }}};
constexpr line invalid_user_lines[] = {
    {"invalid-users-next",
     [](const fields &f, persisted &p) { return read_members(f, 1, std::tie(p.data.invalid_users.next_order)); }},
    {"invalid-user", [](const fields &f, persisted &p) {
       return append(f, p.data.invalid_users.users, invalid_user_members<invalid_user>);
     }}};
constexpr line failure_lines[] = {
    {"failure", [](const fields &f, persisted &p) { return append(f, p.failures, failure_members<failure_rule>); }}};
constexpr line cookie_lines[] = {
    {"cookies-next", [](const fields &f, persisted &p) { return cookie_book_file::load_next(f, p.cookies); }},
    {"cookie", [](const fields &f, persisted &p) { return cookie_book_file::load_cookie(f, p.cookies); }}};

// In state file order. What `allowed` refuses is what the controls would
// refuse to set, so a hand-edited or planted line cannot make every call
// sleep for weeks or break what the listings rely on.
const section sections[] = {
    {.name = "delay",
     .lines = delay_lines,
     .save = [](const persisted &p, std::string &out) { out += tagged_line("delay", std::tie(p.delay_ms)); },
     .allowed = [](const persisted &p) { return p.delay_ms <= max_delay_ms; },
     .adopt = nullptr,
     .take = [](persisted &from, persisted &into) { into.delay_ms = from.delay_ms; }},
    {.name = "volumes",
     .lines = volume_lines,
     .save = [](const persisted &p, std::string &out) { save_texts(out, "volume", p.data.volumes); },
     .allowed = [](const persisted &p) { return distinct_texts(p.data.volumes); },
     .adopt = nullptr,
     .take = [](persisted &from, persisted &into) { into.data.volumes = std::move(from.data.volumes); }},
    {.name = "shares",
     .lines = share_lines,
     .save = [](const persisted &p, std::string &out) { save_list(out, "share", p.data.shares, share_members<const share>); },
     .allowed = [](const persisted &p) {
       return distinct_names(p.data.shares, [](const share &s) -> std::string_view { return s.name; });
     },
     // An empty absolute path is the one the volume and relative path give.
     .adopt = [](const persisted &, persisted &given) {
       for (share &s : given.data.shares)
         if (s.absolute_path.empty()) s.absolute_path = absolute_path_for(s.volume, s.relative_path);
       return true;
     },
     .take = [](persisted &from, persisted &into) { into.data.shares = std::move(from.data.shares); }},
    {.name = "contexts",
     .lines = context_lines,
     .save = [](const persisted &p, std::string &out) { save_texts(out, "context", p.data.contexts); },
     .allowed = [](const persisted &) { return true; },
     .adopt = nullptr,
     .take = [](persisted &from, persisted &into) { into.data.contexts = std::move(from.data.contexts); }},
    {.name = "open-files",
     .lines = open_file_lines,
     .save = [](const persisted &p, std::string &out) {
       out += tagged_line("open-files-next", std::tie(p.data.open_files.next_order));
       save_list(out, "open-file", p.data.open_files.files, open_file_members<const open_file>);
     },
     .allowed = [](const persisted &p) {
       const auto &files = p.data.open_files.files;
       return std::ranges::none_of(files, [](const open_file &f) { return f.name.empty(); }) &&
              ordered(files, p.data.open_files.next_order);
     },
     // Each file is on a share of the model, under the share's own spelling;
     // an empty full path is the share's path and the file name. Orders
     // follow every one handed out so far, so no cookie issued earlier
     // resumes inside the new list.
     .adopt = [](const persisted &now, persisted &given) {
       open_files_table table{.next_order = now.data.open_files.next_order};
       for (open_file &f : given.data.open_files.files) {
         const share *s = share_named(now.data, f.share);
         if (!s) return false;
         f.share = s->name;
         if (f.full_path.empty()) f.full_path = s->absolute_path + "/" + f.name;
         add_open_file(table, std::move(f));
       }
       given.data.open_files = std::move(table);
       return true;
     },
     .take = [](persisted &from, persisted &into) { into.data.open_files = std::move(from.data.open_files); }},
    {.name = "connections",
     .lines = connection_lines,
     .save = [](const persisted &p, std::string &out) {
       for (const auto &c : p.data.connections) {
         out += tagged_line("connection", connection_members(c));
         save_texts(out, "security-equivalence", c.security_equivalences);
         save_texts(out, "mapped-share", c.mapped_shares);
       }
     },
     .allowed = [](const persisted &p) {
       std::set<uint16_t> numbers;
       return std::ranges::all_of(p.data.connections, [&numbers](const connection &c) {
         return numbers.insert(c.number).second && connection_fits(c);
       });
     },
     // A share a connection maps must exist when it is set; one removed later is left out of its listings.
     .adopt = [](const persisted &now, persisted &given) {
       return std::ranges::all_of(given.data.connections, [&now](const connection &c) {
         return std::ranges::all_of(c.mapped_shares, [&now](const std::string &n) { return share_named(now.data, n); });
       });
     },
     .take = [](persisted &from, persisted &into) { into.data.connections = std::move(from.data.connections); }},
    {.name = "invalid-users",
     .lines = invalid_user_lines,
     .save = [](const persisted &p, std::string &out) {
       out += tagged_line("invalid-users-next", std::tie(p.data.invalid_users.next_order));
       save_list(out, "invalid-user", p.data.invalid_users.users, invalid_user_members<const invalid_user>);
     },
     .allowed = [](const persisted &p) {
       const auto &users = p.data.invalid_users.users;
       return distinct_names(users, [](const invalid_user &u) -> std::string_view { return u.name; }) &&
              std::ranges::all_of(users, [](const invalid_user &u) {
                return u.name.size() <= invalid_user_name_limit &&
                       fits(u.client_address, wire::invalid_user::client_address_size);
              }) &&
              ordered(users, p.data.invalid_users.next_order);
     },
     // Orders follow every one handed out so far, as for open files.
     .adopt = [](const persisted &now, persisted &given) {
       invalid_users_table table{.next_order = now.data.invalid_users.next_order};
       for (invalid_user &u : given.data.invalid_users.users) add_invalid_user(table, std::move(u));
       given.data.invalid_users = std::move(table);
       return true;
     },
     .take = [](persisted &from, persisted &into) { into.data.invalid_users = std::move(from.data.invalid_users); }},
    {.name = "failures",
     .lines = failure_lines,
     .save = [](const persisted &p, std::string &out) { save_list(out, "failure", p.failures, failure_members<const failure_rule>); },
     .allowed = [](const persisted &p) {
       return std::ranges::all_of(p.failures, [](const failure_rule &r) { return is_library_call(r.call); });
     },
     .adopt = nullptr,
     .take = [](persisted &from, persisted &into) { into.failures = std::move(from.failures); }},
    {.name = "cookies",
     .lines = cookie_lines,
     .save = [](const persisted &p, std::string &out) { cookie_book_file::save(p.cookies, out); },
     .allowed = [](const persisted &) { return true; },
     .adopt = nullptr,
     .take = [](persisted &from, persisted &into) { into.cookies = std::move(from.cookies); }},
};

std::string save_state() { return simstate::save_sections<persisted>(sections, state()); }

bool load_state(std::string_view lines) { return simstate::load_sections<persisted>(sections, lines, state()); }

}  // namespace

simstate::section_table<persisted> state_sections() { return sections; }

const simstate::section_codec state_codec{"mgmt", save_state, load_state};

}  // namespace cifssim
