#include "invalid_users_model.h"

#include <algorithm>
#include <cstring>

#include "string_record.h"
#include "wire_layout.h"
#include "model.h"

namespace cifssim {
namespace {

std::string_view type_of(const invalid_user &u) { return is_blocked(u) ? "Blocked" : "Invalid"; }

bool filter_matches(const list_filter &filter, const invalid_user &user) {
  return std::ranges::any_of(filter.patterns, [&](const std::string &pattern) {
    if (filter.type == wire::filter_entry::type_type) return same_name(type_of(user), pattern);
    return contains_ignoring_case(user.name, pattern) || contains_ignoring_case(user.client_address, pattern);
  });
}

}  // namespace

void add_invalid_user(invalid_users_table &table, invalid_user user) {
  user.order = table.next_order++;
  table.users.push_back(std::move(user));
}

// Cached and blocked users side by side, blocked ones in every state a
// listing reads as blocked (0, 1, 3), one user without an address or time.
invalid_users_table seed_invalid_users() {
  invalid_users_table t;
  add_invalid_user(t, {.name = "guest", .client_address = "10.0.0.40", .last_attempt_time = 1700001000});
  add_invalid_user(t, {.name = "mallory", .state = blocked_state, .client_address = "10.0.0.66",
                       .last_attempt_time = 1700002000});
  add_invalid_user(t, {.name = "jdoe", .client_address = "fe80::41", .last_attempt_time = 1700003000});
  add_invalid_user(t, {.name = "root", .state = 3, .client_address = "10.0.0.67", .last_attempt_time = 1700004000});
  add_invalid_user(t, {.name = "tester", .state = 0});
  return t;
}

invalid_user *find_invalid_user(invalid_users_table &table, std::string_view name) {
  auto it = std::ranges::find_if(table.users, [name](const invalid_user &u) { return same_name(u.name, name); });
  return it == table.users.end() ? nullptr : &*it;
}

bool passes(const filter_set &set, const invalid_user &user) {
  return filters_keep(set, [&user](const list_filter &f) { return filter_matches(f, user); });
}

std::vector<uint8_t> invalid_user_record_bytes(const invalid_user &user) {
  namespace layout = wire::invalid_user;
  string_record r(layout::header_size);
  const uint32_t name = r.add_text(user.name);
  byte_writer h = r.header();
  h.u32(layout::state, user.state);
  h.i64(layout::last_attempt_time, user.last_attempt_time);
  // Its section refuses addresses that would not leave room for the NUL.
  h.fixed_text(layout::client_address, layout::client_address_size, user.client_address);
  h.u32(layout::user_name, name);
  return std::move(r).finish(layout::strings_length);
}

}  // namespace cifssim
