#include "connections_model.h"

#include <algorithm>
#include "model.h"
#include "wire_layout.h"

namespace cifssim {
// The clients of the seed open files (sessions 1, 2 and 7, mapping the
// shares they hold files on and more), two without open files, numbers that
// contain one another for the module's "name" filter, and every kind of
// field: empty texts, no security equivalences, 64-bit counters, channels
// above one, encrypted and not.
std::vector<connection> seed_connections() {
  return {
      {.number = 1, .user_name = "alice", .client_address = "10.0.0.11", .type = "SMB 3.1.1", .status = "Active",
       .privileges = "Supervisor", .channels = 2, .encrypted = true, .total_requests = 1520,
       .bytes_read = 73400320, .bytes_written = 1048576, .login_time = 1700000000,
       .security_equivalences = {".admins.org", ".staff.users.org"}, .mapped_shares = {"DATA", "home"}},
      {.number = 2, .user_name = "bob", .client_address = "10.0.0.12", .type = "SMB 3.0", .status = "Active",
       .privileges = "User", .channels = 1, .total_requests = 310, .bytes_read = 5242880, .bytes_written = 0,
       .login_time = 1700003600, .security_equivalences = {".staff.users.org"},
       .mapped_shares = {"DATA", "home", "SYS"}},
      {.number = 7, .user_name = "carol", .client_address = "fe80::7", .type = "SMB 2.1", .status = "Idle",
       .privileges = "User", .channels = 1, .total_requests = 4294967295u, .bytes_read = 1ull << 40,
       .bytes_written = 123456789012ull, .login_time = 1700007200, .mapped_shares = {"DATA", "home", "projects"}},
      {.number = 12, .user_name = "dave", .client_address = "10.0.0.20", .type = "SMB 3.1.1", .status = "Idle",
       .channels = 4, .encrypted = true, .login_time = 1700010800, .security_equivalences = {".users.org"}},
      {.number = 1203, .client_address = "10.0.0.21", .type = "SMB 2.0.2", .status = "Authenticating",
       .login_time = 1700014400},
  };
}

connection *find_connection(model &m, uint32_t number) {
  auto it = std::ranges::find_if(m.connections, [number](const connection &c) { return c.number == number; });
  return it == m.connections.end() ? nullptr : &*it;
}

std::vector<const share *> mapped_shares(const model &m, const connection &c) {
  std::vector<const share *> out;
  for (const auto &name : c.mapped_shares) {
    auto it = std::ranges::find_if(m.shares, [&name](const share &s) { return same_name(s.name, name); });
    if (it != m.shares.end()) out.push_back(&*it);
  }
  return out;
}

uint32_t open_files_of(const model &m, uint16_t number, std::optional<std::string_view> share_name) {
  return static_cast<uint32_t>(std::ranges::count_if(m.open_files.files, [&](const open_file &f) {
    return f.session_id == number && (!share_name || same_name(f.share, *share_name));
  }));
}

std::optional<uint32_t> parse_connection_number(std::string_view text) {
  const bool digits = std::ranges::all_of(text, [](char ch) { return ch >= '0' && ch <= '9'; });
  if (text.empty() || !digits || text.size() >= wire::connection::number_text_size ||
      (text.size() > 1 && text.front() == '0'))
    return std::nullopt;
  uint32_t value = 0;
  for (char ch : text) value = value * 10 + static_cast<uint32_t>(ch - '0');
  return value;
}

}  // namespace cifssim
