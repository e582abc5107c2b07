// Invalid and blocked user calls of the management library: the cached users
// one page at a time in a shared memory object, adding a blocked user, making
// a cached one blocked, and removing either.
#include <utility>

#include "call_log.h"
#include "cifs_sim_status.h"
#include "cifslib_calls.h"
#include "list_request_page.h"
#include "listing_result.h"
#include "mgmtclient/invalid_user_records.h"

namespace cifssim {
namespace {

// The invalid users request takes "type" patterns of at most 31 bytes.
constexpr pattern_limits invalid_users_limits{.type = 31};
constexpr const char *cookie_scope = "invalid-users";

// Strict like the open files request: CIFSSIM_BAD_REQUEST for the layout,
// CIFSSIM_BAD_FILTER for what the filter block says.
int32_t parse_request(std::span<const uint8_t> page, size_t page_size, page_common &out) {
  const auto area = declared_area(page, page_size, cifs::invalid_users_request_layout);
  if (!area) return CIFSSIM_BAD_REQUEST;
  const auto h = copy_out<cifs::invalid_users_request>(page);
  page_common r{.ignore_count = h.ignore_count, .return_count = h.return_count};
  if (const int32_t status = read_cookie_and_filters(*area, h.cookie_offset, cifs::invalid_users_cookie_size,
                                                     h.filters_offset, invalid_users_limits, r))
    return status;
  out = std::move(r);
  return CIFSSIM_OK;
}

int32_t list_page(sim_state &st, const page_common &req, void **result_header) {
  uint64_t after = 0;
  if (req.cookie && !req.cookie->empty()) {
    const auto resume = st.cookies.resume_after(*req.cookie, cookie_scope);
    if (!resume) return CIFSSIM_BAD_COOKIE;
    after = *resume;
  }
  const auto page = select_page(st.data.invalid_users.users, after, req.ignore_count, req.return_count,
                                [&req](const invalid_user &u) { return !req.filters || passes(*req.filters, u); });
  bytes records;
  for (const invalid_user *u : page.items) {
    const bytes record = invalid_user_record_bytes(*u);
    records.insert(records.end(), record.begin(), record.end());
  }
  return hand_out_listing(static_cast<uint32_t>(page.items.size()), records,
                          cookie_for(st.cookies, cookie_scope, page), result_header);
}

// The cache keeps names of 1 to 255 bytes.
bool usable_name(std::string_view name) { return !name.empty() && name.size() <= invalid_user_name_limit; }

}  // namespace
}  // namespace cifssim

using namespace cifssim;

// The request is logged before it is checked; a queued raw answer stands in
// for the whole call.
extern "C" int32_t CIFSLIB_ListInvalidUsers(void *request_page, void **result_header) {
  constexpr const char *call = "CIFSLIB_ListInvalidUsers";
  if (!request_page) return refuse_null_argument(call);
  const size_t page_size = request_page_size();
  bytes page = capture_page(request_page, page_size, cifs::invalid_users_request_layout);
  page_common req;
  const int32_t parsed = parse_request(page, page_size, req);
  call_scope scope(call, "", std::move(page), "");
  if (auto injected = scope.injected()) return *injected;
  if (!result_header) return CIFSSIM_NULL_ARGUMENT;
  if (auto raw = take_raw_result(scope.state(), call)) return hand_out_raw(scope.state(), call, *raw, {result_header});
  if (parsed != CIFSSIM_OK) return parsed;
  return list_page(scope.state(), req, result_header);
}

// A user already cached becomes blocked; one blocked already is refused.
extern "C" int32_t CIFSLIB_AddPermanentInvalidUser(const char *user_name) {
  constexpr const char *call = "CIFSLIB_AddPermanentInvalidUser";
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
  constexpr const char *call = "CIFSLIB_MakePermanentInvalidUser";
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
  constexpr const char *call = "CIFSLIB_RemoveInvalidUser";
  return run_text_call(call, user_name, [](sim_state &st, std::string_view name) -> int32_t {
    if (!usable_name(name)) return CIFSSIM_BAD_USER_NAME;
    auto &users = st.data.invalid_users.users;
    invalid_user *u = find_invalid_user(st.data.invalid_users, name);
    if (!u) return CIFSSIM_NO_SUCH_USER;
    users.erase(users.begin() + (u - users.data()));
    return CIFSSIM_OK;
  });
}
