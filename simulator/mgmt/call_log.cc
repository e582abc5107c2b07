#include "call_log.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <thread>

namespace cifssim {
namespace {

// The first rule for this call and name fires; a counted rule is used up.
std::optional<int32_t> take_failure(std::vector<failure_rule> &rules, library_call call, std::string_view name) {
  auto it = std::ranges::find_if(rules, [&](const failure_rule &r) {
    return r.call == name_of(call) && (r.name.empty() || r.name == name);
  });
  if (it == rules.end()) return std::nullopt;
  const int32_t status = it->status;
  if (!it->until_reset && --it->times_left == 0) rules.erase(it);
  return status;
}

}  // namespace

std::optional<library_call> library_call_named(std::string_view name) {
  const auto it = std::ranges::find(library_call_names, name, [](const char *n) { return std::string_view(n); });
  if (it == std::end(library_call_names)) return std::nullopt;
  return static_cast<library_call>(it - std::begin(library_call_names));
}

call_scope::call_scope(library_call call, std::string text, std::optional<bytes> record, std::string_view match_name)
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
