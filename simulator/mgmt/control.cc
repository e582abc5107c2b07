// Test-only control of the simulated management library. Each function takes
// the state lock itself; visitors run under it and must not call back in.
#include <mutex>
#include <optional>
#include <type_traits>
#include <string>
#include <vector>

#include "call_log.h"
#include "cifs_sim_status.h"
#include "cifssim_control.h"

using namespace cifssim;

extern "C" CIFSSIM_EXPORT void cifssim_reset(void) {
  std::lock_guard lock(state().mutex);
  state().reset();
}

extern "C" CIFSSIM_EXPORT int32_t cifssim_section(const char *name, cifssim_text_visitor visit, void *ctx) {
  const bool known = simstate::control_section(state_sections(), static_cast<persisted &>(state()), state().mutex,
                                               name, visit, ctx);
  return known ? CIFSSIM_OK : CIFSSIM_BAD_ARGUMENT;
}

extern "C" CIFSSIM_EXPORT int32_t cifssim_set_section(const char *name, const char *lines, size_t length) {
  const bool taken = simstate::control_set_section(state_sections(), static_cast<persisted &>(state()),
                                                   state().mutex, name, lines, length);
  return taken ? CIFSSIM_OK : CIFSSIM_BAD_ARGUMENT;
}

extern "C" CIFSSIM_EXPORT int32_t cifssim_fail(const char *call, int32_t status, const char *name, uint32_t times) {
  if (!call || !is_library_call(call)) return CIFSSIM_BAD_ARGUMENT;
  std::lock_guard lock(state().mutex);
  state().failures.push_back({call, status, name ? name : "", times, times == 0});
  return CIFSSIM_OK;
}

extern "C" CIFSSIM_EXPORT void cifssim_visit_calls(cifssim_call_visitor visit, void *ctx) {
  std::lock_guard lock(state().mutex);
  for (const auto &c : state().calls)
    visit(ctx, name_of(c.call), c.text.c_str(), c.record ? c.record->data() : nullptr, c.record ? c.record->size() : 0);
}

extern "C" CIFSSIM_EXPORT int32_t cifssim_set_choices(const cifssim_choices *choices) {
  if (!choices || choices->share_records_inside > 1 || choices->connection_records_inside > 1 ||
      choices->object_slack > object_slack_limit)
    return CIFSSIM_BAD_ARGUMENT;
  std::lock_guard lock(state().mutex);
  state().choices = {.share_records_inside = choices->share_records_inside == 1,
                     .connection_records_inside = choices->connection_records_inside == 1,
                     .object_slack = choices->object_slack};
  return CIFSSIM_OK;
}

extern "C" CIFSSIM_EXPORT void cifssim_get_choices(cifssim_choices *out) {
  if (!out) return;
  std::lock_guard lock(state().mutex);
  const library_choices &c = state().choices;
  *out = {static_cast<uint8_t>(c.share_records_inside), static_cast<uint8_t>(c.connection_records_inside),
          c.object_slack};
}

extern "C" CIFSSIM_EXPORT int32_t cifssim_shrink_next_object(int64_t bytes) {
  if (bytes < -1) return CIFSSIM_BAD_ARGUMENT;
  std::lock_guard lock(state().mutex);
  if (bytes == -1)
    state().shrink_next_object.reset();
  else
    state().shrink_next_object = static_cast<uint64_t>(bytes);
  return CIFSSIM_OK;
}

static_assert(std::is_same_v<decltype(&cifssim_reset), cifssim_reset_fn>);
static_assert(std::is_same_v<decltype(&cifssim_section), cifssim_section_fn>);
static_assert(std::is_same_v<decltype(&cifssim_set_section), cifssim_set_section_fn>);
static_assert(std::is_same_v<decltype(&cifssim_fail), cifssim_fail_fn>);
static_assert(std::is_same_v<decltype(&cifssim_visit_calls), cifssim_visit_calls_fn>);
static_assert(std::is_same_v<decltype(&cifssim_set_choices), cifssim_set_choices_fn>);
static_assert(std::is_same_v<decltype(&cifssim_get_choices), cifssim_get_choices_fn>);
static_assert(std::is_same_v<decltype(&cifssim_shrink_next_object), cifssim_shrink_next_object_fn>);
