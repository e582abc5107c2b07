// Invalid and blocked user calls of the management library: the cached users
// one page at a time in a shared memory object, adding a blocked user, making
// a cached one blocked, and removing either.
#include <utility>

#include "call_log.h"
#include "cifs_sim_status.h"
#include "cifslib_calls.h"
#include "paged_listing.h"
#include "wire_layout.h"

namespace cifssim {
namespace {

// The invalid users request takes "type" patterns of at most 31 bytes.
constexpr pattern_limits invalid_users_limits{.type = 31};
constexpr const char *cookie_scope = "invalid-users";

// Strict like the open files request: CIFSSIM_BAD_REQUEST for the layout,
// CIFSSIM_BAD_FILTER for what the filter block says.
int32_t parse_request(std::span<const uint8_t> page, size_t page_size, page_common &out) {
  namespace request = wire::invalid_users_request;
  const auto area = declared_area(page, page_size, request::layout);
  if (!area) return CIFSSIM_BAD_REQUEST;
  page_common r;
  if (const int32_t status =
          read_common_fields(page, *area, request::layout, request::cookie_size, invalid_users_limits, r))
    return status;
  out = std::move(r);
  return CIFSSIM_OK;
}

int32_t list_page(sim_state &st, const page_common &req, void **result_header) {
  const auto keep = [&req](const invalid_user &u) { return !req.filters || passes(*req.filters, u); };
  static const std::vector<uint8_t> slack = invalid_user_record_bytes({.name = slack_name});
  return hand_out_page(st, cookie_scope, req, st.data.invalid_users.users, keep, invalid_user_record_bytes, slack,
                       result_header);
}

// The cache keeps names of 1 to 255 bytes.
bool usable_name(std::string_view name) { return !name.empty() && name.size() <= invalid_user_name_limit; }

}  // namespace
}  // namespace cifssim

using namespace cifssim;

extern "C" int32_t CIFSLIB_ListInvalidUsers(void *request_page, void **result_header) {
  return run_page_call<page_common>(library_call::CIFSLIB_ListInvalidUsers, request_page, result_header, wire::invalid_users_request::layout, parse_request,
      [](const page_common &) { return std::string(); }, list_page);
}

// A user already cached becomes blocked; one blocked already is refused.
extern "C" int32_t CIFSLIB_AddPermanentInvalidUser(const char *user_name) {
  constexpr auto call = library_call::CIFSLIB_AddPermanentInvalidUser;
  return run_text_call(call, user_name, [](sim_state &st, std::string_view name) -> int32_t {
    if (!usable_name(name)) return CIFSSIM_BAD_USER_NAME;
    invalid_user *u = find_invalid_user(st.data.invalid_users, name);
    if (u && is_blocked(*u)) return CIFSSIM_ALREADY_BLOCKED;
    if (u)
      u->state = blocked_state;
    else
      add_invalid_user(st.data.invalid_users, {.name = std::string(name), .state = blocked_state});
    return CIFSSIM_OK;
  });
}

extern "C" int32_t CIFSLIB_MakePermanentInvalidUser(const char *user_name) {
  constexpr auto call = library_call::CIFSLIB_MakePermanentInvalidUser;
  return run_text_call(call, user_name, [](sim_state &st, std::string_view name) -> int32_t {
    if (!usable_name(name)) return CIFSSIM_BAD_USER_NAME;
    invalid_user *u = find_invalid_user(st.data.invalid_users, name);
    if (!u) return CIFSSIM_NO_SUCH_USER;
    if (is_blocked(*u)) return CIFSSIM_ALREADY_BLOCKED;
    u->state = blocked_state;
    return CIFSSIM_OK;
  });
}

// Removes a cached or a blocked user alike.
extern "C" int32_t CIFSLIB_RemoveInvalidUser(const char *user_name) {
  constexpr auto call = library_call::CIFSLIB_RemoveInvalidUser;
  return run_text_call(call, user_name, [](sim_state &st, std::string_view name) -> int32_t {
    if (!usable_name(name)) return CIFSSIM_BAD_USER_NAME;
    auto &users = st.data.invalid_users.users;
    invalid_user *u = find_invalid_user(st.data.invalid_users, name);
    if (!u) return CIFSSIM_NO_SUCH_USER;
    users.erase(users.begin() + (u - users.data()));
    return CIFSSIM_OK;
  });
}
