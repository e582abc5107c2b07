// The server's cache of invalid user names: users cached after failed
// logins (state 2) and blocked users (every other state), which stay until
// they are removed. Plain data; the caller holds the state lock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "list_filters.h"
#include "wire_layout.h"

namespace cifssim {

struct invalid_user {
  std::string name{};
  uint32_t state = wire::invalid_user::state_invalid;
  std::string client_address{};
  int64_t last_attempt_time = 0;
  uint64_t order = 0;  // place in every listing, set by add_invalid_user (see paging.h)
};

// The state the library gives a user it makes permanent.
inline constexpr uint32_t blocked_state = 1;
// Longest user name the library keeps.
inline constexpr size_t invalid_user_name_limit = 255;

inline bool is_blocked(const invalid_user &u) { return u.state != wire::invalid_user::state_invalid; }

struct invalid_users_table {
  std::vector<invalid_user> users{};
  uint64_t next_order = 1;
};

void add_invalid_user(invalid_users_table &table, invalid_user user);
invalid_users_table seed_invalid_users();
// User names compare without regard to ASCII case.
invalid_user *find_invalid_user(invalid_users_table &table, std::string_view name);

// "type" wants a pattern equal to the user's type, "Invalid" or "Blocked",
// "search-name" a pattern inside the user name or client address, both
// without regard to ASCII case.
bool passes(const filter_set &set, const invalid_user &user);

// One record: the header with the client address in its fixed field, then
// the user name with its NUL.
std::vector<uint8_t> invalid_user_record_bytes(const invalid_user &user);

}  // namespace cifssim
