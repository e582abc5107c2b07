// Client connections of the server. A connection's open files are the
// model's open files whose session id is its number, and its mapped shares
// are model shares named in its list, so neither can disagree with what the
// share and open files calls report. Plain data; the caller holds the state lock.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>


namespace cifssim {

struct model;
struct share;

struct connection {
  uint16_t number = 0;
  std::string user_name{}, client_address{}, type{}, status{}, privileges{};
  int32_t channels = 0;
  bool encrypted = false;
  uint32_t total_requests = 0;
  uint64_t bytes_read = 0, bytes_written = 0, login_time = 0;
  std::vector<std::string> security_equivalences{};
  std::vector<std::string> mapped_shares{};  // share names; names no share has any more are left out
};

std::vector<connection> seed_connections();

connection *find_connection(model &m, uint32_t number);
// The mapped shares that exist, in the connection's order.
std::vector<const share *> mapped_shares(const model &m, const connection &c);
// How many files the connection holds open, on every share or on one.
uint32_t open_files_of(const model &m, uint16_t number, std::optional<std::string_view> share_name = std::nullopt);

// The number named by the decimal text the module asks with: digits only,
// no leading zero, at most six of them; nothing for any other text.
std::optional<uint32_t> parse_connection_number(std::string_view text);

}  // namespace cifssim
