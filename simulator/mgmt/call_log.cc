#include "call_log.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

namespace cifssim {
namespace {

constexpr std::array<std::string_view, 20> library_calls = {
    "CIFSLIB_GetShareNames",         "CIFSLIB_ListAllShares",
    "CIFSLIB_CreateShare",           "CIFSLIB_ChangeShareConfiguration",
    "CIFSLIB_ChangeShareFeatureConfiguration", "CIFSLIB_RemoveShare",
    "CIFSLIB_ListOpenFiles",         "CIFSLIB_CloseOpenFile",
    "CIFSLIB_CloseAllOpenFiles",     "CIFSLIB_GetConnectionsCount",
    "CIFSLIB_GetConnectionsList",    "CIFSLIB_GetConnectionDetails",
    "CIFSLIB_GetConnectionMappedShares", "CIFSLIB_ListInvalidUsers",
    "CIFSLIB_AddPermanentInvalidUser", "CIFSLIB_RemoveInvalidUser",
    "CIFSLIB_MakePermanentInvalidUser", "CIFSLIB_ListUserContexts",
    "CIFSLIB_AddUserContext",        "CIFSLIB_RemoveUserContext",
};

// The first rule for this call and name fires; a counted rule is used up.
std::optional<int32_t> take_failure(std::vector<failure_rule> &rules, std::string_view call, std::string_view name) {
  auto it = std::ranges::find_if(rules, [&](const failure_rule &r) {
    return r.call == call && (r.name.empty() || r.name == name);
  });
  if (it == rules.end()) return std::nullopt;
  const int32_t status = it->status;
  if (!it->until_reset && --it->times_left == 0) rules.erase(it);
  return status;
}

}  // namespace

bool is_library_call(std::string_view call) { return std::ranges::find(library_calls, call) != library_calls.end(); }

call_scope::call_scope(const char *call, std::string text, std::optional<bytes> record, std::string_view match_name)
    : state_(cifssim::state()), lock_(state_.mutex) {
  state_.calls.push_back({call, std::move(text), std::move(record)});
  if (const uint32_t delay = state_.delay_ms) {
    // Sleep unlocked so that calls from several workers overlap.
    lock_.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    lock_.lock();
  }
  injected_ = take_failure(state_.failures, call, match_name);
}

}  // namespace cifssim
