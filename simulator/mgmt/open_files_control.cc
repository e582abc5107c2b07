// Test-only control of the open files the simulated library knows and of the
// shared memory objects it creates.
#include <algorithm>
#include <cstdio>
#include <mutex>
#include <type_traits>

#include "cifs_sim_status.h"
#include "cifssim_control.h"
#include "shm_objects.h"
#include "state.h"

using namespace cifssim;

namespace {

// Missing texts default as the structure's comments say; the share must exist
// so that a test's typo fails at its setup line.
std::optional<open_file> open_file_from(const model &m, const cifssim_open_file &in) {
  if (!in.share_name || !in.file_name || !*in.file_name) return std::nullopt;
  const auto s = std::ranges::find_if(m.shares, [&in](const share &x) { return same_name(x.name, in.share_name); });
  if (s == m.shares.end()) return std::nullopt;
  return open_file{.share = s->name,
                   .session_id = in.session_id,
                   .file_id = in.file_id,
                   .access_mask = in.access_mask,
                   .lock_level = in.lock_level,
                   .name = in.file_name,
                   .full_path = in.full_path ? in.full_path : s->absolute_path + "/" + in.file_name,
                   .user_name = in.user_name ? in.user_name : "",
                   .client_address = in.client_address ? in.client_address : ""};
}

}  // namespace

extern "C" CIFSSIM_EXPORT int32_t cifssim_set_open_files(const cifssim_open_file *files, size_t count) {
  if (count && !files) return CIFSSIM_BAD_ARGUMENT;
  std::lock_guard lock(state().mutex);
  open_files_table table;
  // Orders keep growing across replacements, so no cookie issued earlier
  // resumes inside the new list by accident.
  table.next_order = state().data.open_files.next_order;
  for (size_t i = 0; i < count; ++i) {
    auto file = open_file_from(state().data, files[i]);
    if (!file) return CIFSSIM_BAD_ARGUMENT;
    add_open_file(table, std::move(*file));
  }
  state().data.open_files = std::move(table);
  return CIFSSIM_OK;
}

extern "C" CIFSSIM_EXPORT void cifssim_visit_open_files(cifssim_open_file_visitor visit, void *ctx) {
  std::lock_guard lock(state().mutex);
  for (const auto &f : state().data.open_files.files) {
    const cifssim_open_file out{f.share.c_str(),    f.session_id,        f.file_id,
                                f.access_mask,      f.lock_level,        f.name.c_str(),
                                f.full_path.c_str(), f.user_name.c_str(), f.client_address.c_str()};
    visit(ctx, &out);
  }
}

extern "C" CIFSSIM_EXPORT size_t cifssim_shm_prefix(char *out, size_t size) {
  const std::string prefix = shm_prefix();
  if (out && size) std::snprintf(out, size, "%s", prefix.c_str());
  return prefix.size();
}

extern "C" CIFSSIM_EXPORT void cifssim_visit_shm_objects(cifssim_text_visitor visit, void *ctx) {
  for (const auto &name : present_objects()) visit(ctx, name.c_str());
}

extern "C" CIFSSIM_EXPORT uint32_t cifssim_remove_shm_objects(void) {
  return static_cast<uint32_t>(remove_objects());
}

static_assert(std::is_same_v<decltype(&cifssim_set_open_files), cifssim_set_open_files_fn>);
static_assert(std::is_same_v<decltype(&cifssim_visit_open_files), cifssim_visit_open_files_fn>);
static_assert(std::is_same_v<decltype(&cifssim_shm_prefix), cifssim_shm_prefix_fn>);
static_assert(std::is_same_v<decltype(&cifssim_visit_shm_objects), cifssim_visit_texts_fn>);
static_assert(std::is_same_v<decltype(&cifssim_remove_shm_objects), cifssim_remove_shm_objects_fn>);
