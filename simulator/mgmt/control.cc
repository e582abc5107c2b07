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

namespace {

std::string text_or(const char *text, std::string fallback) { return text ? std::string(text) : fallback; }

// Missing texts default the way a listing would show them, so a test names
// only the fields it cares about.
std::optional<share> share_from(const cifssim_share &in) {
  if (!in.name || !*in.name) return std::nullopt;
  share s;
  s.name = in.name;
  s.volume = text_or(in.volume_name, "");
  s.relative_path = text_or(in.relative_path, "");
  s.absolute_path = text_or(in.absolute_path, absolute_path_for(s.volume, s.relative_path));
  s.comment = text_or(in.comment, "");
  s.type = in.type;
  s.name_space = in.name_space;
  s.encryption = in.encryption != 0;
  s.folder_redirection = in.folder_redirection != 0;
  s.atm_backup = in.atm_backup != 0;
  s.open_files = in.open_files_count;
  return s;
}

// Null entries are refused; with `distinct`, so are empty texts and repeats.
std::optional<std::vector<std::string>> texts_from(const char *const *texts, size_t count, bool distinct) {
  std::vector<std::string> out;
  for (size_t i = 0; i < count; ++i) {
    if (!texts[i] || (distinct && !*texts[i])) return std::nullopt;
    for (const auto &seen : out)
      if (distinct && same_name(seen, texts[i])) return std::nullopt;
    out.emplace_back(texts[i]);
  }
  return out;
}

}  // namespace

extern "C" CIFSSIM_EXPORT void cifssim_reset(void) {
  std::lock_guard lock(state().mutex);
  state().reset();
}

extern "C" CIFSSIM_EXPORT int32_t cifssim_set_shares(const cifssim_share *shares, size_t count) {
  std::vector<share> list;
  for (size_t i = 0; i < count; ++i) {
    auto s = share_from(shares[i]);
    if (!s) return CIFSSIM_BAD_ARGUMENT;
    for (const auto &seen : list)
      if (same_name(seen.name, s->name)) return CIFSSIM_BAD_ARGUMENT;
    list.push_back(std::move(*s));
  }
  std::lock_guard lock(state().mutex);
  state().data.shares = std::move(list);
  return CIFSSIM_OK;
}

extern "C" CIFSSIM_EXPORT void cifssim_visit_shares(cifssim_share_visitor visit, void *ctx) {
  std::lock_guard lock(state().mutex);
  for (const auto &s : state().data.shares) {
    const cifssim_share out{s.name.c_str(),
                            s.volume.c_str(),
                            s.relative_path.c_str(),
                            s.absolute_path.c_str(),
                            s.comment.c_str(),
                            s.type,
                            s.name_space,
                            static_cast<uint8_t>(s.encryption),
                            static_cast<uint8_t>(s.folder_redirection),
                            static_cast<uint8_t>(s.atm_backup),
                            s.open_files};
    visit(ctx, &out);
  }
}

extern "C" CIFSSIM_EXPORT int32_t cifssim_set_volumes(const char *const *names, size_t count) {
  auto list = texts_from(names, count, true);
  if (!list) return CIFSSIM_BAD_ARGUMENT;
  std::lock_guard lock(state().mutex);
  state().data.volumes = std::move(*list);
  return CIFSSIM_OK;
}

extern "C" CIFSSIM_EXPORT void cifssim_visit_volumes(cifssim_text_visitor visit, void *ctx) {
  std::lock_guard lock(state().mutex);
  for (const auto &v : state().data.volumes) visit(ctx, v.c_str());
}

extern "C" CIFSSIM_EXPORT int32_t cifssim_set_contexts(const char *const *texts, size_t count) {
  auto list = texts_from(texts, count, false);
  if (!list) return CIFSSIM_BAD_ARGUMENT;
  std::lock_guard lock(state().mutex);
  state().data.contexts = std::move(*list);
  return CIFSSIM_OK;
}

extern "C" CIFSSIM_EXPORT void cifssim_visit_contexts(cifssim_text_visitor visit, void *ctx) {
  std::lock_guard lock(state().mutex);
  for (const auto &c : state().data.contexts) visit(ctx, c.c_str());
}

extern "C" CIFSSIM_EXPORT int32_t cifssim_fail(const char *call, int32_t status, const char *name, uint32_t times) {
  if (!call || !is_library_call(call)) return CIFSSIM_BAD_ARGUMENT;
  std::lock_guard lock(state().mutex);
  state().failures.push_back({call, status, text_or(name, ""), times, times == 0});
  return CIFSSIM_OK;
}

extern "C" CIFSSIM_EXPORT void cifssim_visit_failures(cifssim_failure_visitor visit, void *ctx) {
  std::lock_guard lock(state().mutex);
  for (const auto &f : state().failures)
    visit(ctx, f.call.c_str(), f.status, f.name.c_str(), f.until_reset ? 0 : f.times_left);
}

extern "C" CIFSSIM_EXPORT void cifssim_set_delay(uint32_t milliseconds) {
  std::lock_guard lock(state().mutex);
  state().delay_ms = milliseconds;
}

extern "C" CIFSSIM_EXPORT void cifssim_visit_calls(cifssim_call_visitor visit, void *ctx) {
  std::lock_guard lock(state().mutex);
  for (const auto &c : state().calls)
    visit(ctx, c.call.c_str(), c.text.c_str(), c.record ? c.record->data() : nullptr, c.record ? c.record->size() : 0);
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
static_assert(std::is_same_v<decltype(&cifssim_set_shares), cifssim_set_shares_fn>);
static_assert(std::is_same_v<decltype(&cifssim_visit_shares), cifssim_visit_shares_fn>);
static_assert(std::is_same_v<decltype(&cifssim_set_volumes), cifssim_set_texts_fn>);
static_assert(std::is_same_v<decltype(&cifssim_visit_volumes), cifssim_visit_texts_fn>);
static_assert(std::is_same_v<decltype(&cifssim_set_contexts), cifssim_set_texts_fn>);
static_assert(std::is_same_v<decltype(&cifssim_visit_contexts), cifssim_visit_texts_fn>);
static_assert(std::is_same_v<decltype(&cifssim_fail), cifssim_fail_fn>);
static_assert(std::is_same_v<decltype(&cifssim_visit_failures), cifssim_visit_failures_fn>);
static_assert(std::is_same_v<decltype(&cifssim_set_delay), cifssim_set_delay_fn>);
static_assert(std::is_same_v<decltype(&cifssim_visit_calls), cifssim_visit_calls_fn>);
static_assert(std::is_same_v<decltype(&cifssim_set_choices), cifssim_set_choices_fn>);
static_assert(std::is_same_v<decltype(&cifssim_get_choices), cifssim_get_choices_fn>);
static_assert(std::is_same_v<decltype(&cifssim_shrink_next_object), cifssim_shrink_next_object_fn>);
