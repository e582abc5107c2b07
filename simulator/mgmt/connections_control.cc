// Test-only control of the connections and of the invalid users cache of the
// simulated library. A list that the model could not hold is refused whole,
// so a test's typo fails at its setup line.
#include <mutex>
#include <optional>
#include <type_traits>

#include "cifs_sim_status.h"
#include "cifssim_control.h"
#include "state.h"
#include "wire_layout.h"

using namespace cifssim;

namespace {

// A missing text reads as ""; one that would fill its field leaves no room for the NUL.
bool fits(const char *text, size_t field_size, std::string &out) {
  out = text ? text : "";
  return out.size() < field_size;
}

std::optional<std::vector<std::string>> text_list(const char *const *texts, size_t count) {
  if (count && !texts) return std::nullopt;
  std::vector<std::string> out;
  for (size_t i = 0; i < count; ++i) {
    if (!texts[i]) return std::nullopt;
    out.emplace_back(texts[i]);
  }
  return out;
}

std::optional<connection> connection_from(const model &m, const cifssim_connection &in) {
  connection c{.number = in.number,
               .channels = in.channels,
               .encrypted = in.encrypted != 0,
               .total_requests = in.total_requests,
               .bytes_read = in.total_bytes_read,
               .bytes_written = in.total_bytes_written,
               .login_time = in.login_time};
  auto sevs = text_list(in.security_equivalences, in.security_equivalence_count);
  auto mapped = text_list(in.mapped_shares, in.mapped_share_count);
  if (!fits(in.user_name, wire::connection::user_name_size, c.user_name) ||
      !fits(in.client_address, wire::connection::client_address_size, c.client_address) ||
      !fits(in.connection_type, wire::connection::type_size, c.type) ||
      !fits(in.status, wire::connection::status_size, c.status) ||
      !fits(in.privileges, wire::connection::privileges_size, c.privileges) || !sevs || !mapped)
    return std::nullopt;
  for (size_t i = 0; i < mapped->size(); ++i) {
    const std::string &name = (*mapped)[i];
    const bool known = std::ranges::any_of(m.shares, [&name](const share &s) { return same_name(s.name, name); });
    const bool repeated = std::ranges::any_of(mapped->begin(), mapped->begin() + static_cast<std::ptrdiff_t>(i),
                                              [&name](const std::string &seen) { return same_name(seen, name); });
    if (!known || repeated) return std::nullopt;
  }
  c.security_equivalences = std::move(*sevs);
  c.mapped_shares = std::move(*mapped);
  return c;
}

std::optional<invalid_user> invalid_user_from(const cifssim_invalid_user &in) {
  invalid_user u{.state = in.state, .last_attempt_time = in.last_attempt_time};
  if (!in.name || !*in.name || !fits(in.name, invalid_user_name_limit + 1, u.name) ||
      !fits(in.client_address, wire::invalid_user::client_address_size, u.client_address))
    return std::nullopt;
  return u;
}

std::vector<const char *> pointers(const std::vector<std::string> &texts) {
  std::vector<const char *> out;
  for (const auto &t : texts) out.push_back(t.c_str());
  return out;
}

}  // namespace

extern "C" CIFSSIM_EXPORT int32_t cifssim_set_connections(const cifssim_connection *connections, size_t count) {
  if (count && !connections) return CIFSSIM_BAD_ARGUMENT;
  std::lock_guard lock(state().mutex);
  std::vector<connection> list;
  for (size_t i = 0; i < count; ++i) {
    auto c = connection_from(state().data, connections[i]);
    if (!c || std::ranges::any_of(list, [&c](const connection &seen) { return seen.number == c->number; }))
      return CIFSSIM_BAD_ARGUMENT;
    list.push_back(std::move(*c));
  }
  state().data.connections = std::move(list);
  return CIFSSIM_OK;
}

extern "C" CIFSSIM_EXPORT void cifssim_visit_connections(cifssim_connection_visitor visit, void *ctx) {
  std::lock_guard lock(state().mutex);
  const model &m = state().data;
  for (const auto &c : m.connections) {
    const auto sevs = pointers(c.security_equivalences);
    const auto mapped = pointers(c.mapped_shares);
    const cifssim_connection out{.number = c.number,
                                 .user_name = c.user_name.c_str(),
                                 .client_address = c.client_address.c_str(),
                                 .connection_type = c.type.c_str(),
                                 .status = c.status.c_str(),
                                 .privileges = c.privileges.c_str(),
                                 .channels = c.channels,
                                 .encrypted = static_cast<uint8_t>(c.encrypted),
                                 .total_requests = c.total_requests,
                                 .total_bytes_read = c.bytes_read,
                                 .total_bytes_written = c.bytes_written,
                                 .login_time = c.login_time,
                                 .security_equivalences = sevs.data(),
                                 .security_equivalence_count = sevs.size(),
                                 .mapped_shares = mapped.data(),
                                 .mapped_share_count = mapped.size(),
                                 .open_files_count = open_files_of(m, c.number),
                                 .mapped_shares_count = static_cast<uint16_t>(mapped_shares(m, c).size())};
    visit(ctx, &out);
  }
}

extern "C" CIFSSIM_EXPORT int32_t cifssim_set_invalid_users(const cifssim_invalid_user *users, size_t count) {
  if (count && !users) return CIFSSIM_BAD_ARGUMENT;
  std::lock_guard lock(state().mutex);
  // Orders keep growing across replacements, so no cookie issued earlier
  // resumes inside the new list by accident.
  invalid_users_table table{.next_order = state().data.invalid_users.next_order};
  for (size_t i = 0; i < count; ++i) {
    auto u = invalid_user_from(users[i]);
    if (!u || find_invalid_user(table, u->name)) return CIFSSIM_BAD_ARGUMENT;
    add_invalid_user(table, std::move(*u));
  }
  state().data.invalid_users = std::move(table);
  return CIFSSIM_OK;
}

extern "C" CIFSSIM_EXPORT void cifssim_visit_invalid_users(cifssim_invalid_user_visitor visit, void *ctx) {
  std::lock_guard lock(state().mutex);
  for (const auto &u : state().data.invalid_users.users) {
    const cifssim_invalid_user out{u.name.c_str(), u.state, u.client_address.c_str(), u.last_attempt_time};
    visit(ctx, &out);
  }
}

static_assert(std::is_same_v<decltype(&cifssim_set_connections), cifssim_set_connections_fn>);
static_assert(std::is_same_v<decltype(&cifssim_visit_connections), cifssim_visit_connections_fn>);
static_assert(std::is_same_v<decltype(&cifssim_set_invalid_users), cifssim_set_invalid_users_fn>);
static_assert(std::is_same_v<decltype(&cifssim_visit_invalid_users), cifssim_visit_invalid_users_fn>);
