// JS bindings of the shared memory controls of the management library: the
// objects it created that are still there.
#include <optional>
#include <string>

#include "bindings.h"
#include "cifs_sim_status.h"
#include "mgmt_library.h"
#include "napi_check.h"

namespace simctl {
namespace {

struct shm_controls {
  cifssim_shm_prefix_fn shm_prefix;
  cifssim_visit_texts_fn visit_shm_objects;
  cifssim_remove_shm_objects_fn remove_shm_objects;
};

// Bound on first use, like the other management controls.
const shm_controls *controls(napi_env env) {
  static std::optional<shm_controls> bound;
  if (bound) return &*bound;
  shm_controls c{};
  if (!bind_control(env, "cifssim_shm_prefix", c.shm_prefix) ||
      !bind_control(env, "cifssim_visit_shm_objects", c.visit_shm_objects) ||
      !bind_control(env, "cifssim_remove_shm_objects", c.remove_shm_objects))
    return nullptr;
  bound = c;
  return &*bound;
}

napi_value shm_prefix(napi_env env, napi_callback_info) {
  const auto *c = controls(env);
  if (!c) return nullptr;
  std::string prefix(c->shm_prefix(nullptr, 0), '\0');
  c->shm_prefix(prefix.data(), prefix.size() + 1);
  return make_string(env, prefix.c_str());
}

napi_value shared_memory(napi_env env, napi_callback_info) {
  const auto *c = controls(env);
  if (!c) return nullptr;
  array_builder names(env);
  c->visit_shm_objects(
      [](void *ctx, const char *name) {
        auto &out = *static_cast<array_builder *>(ctx);
        out.push(make_string(out.env(), name));
      },
      &names);
  return names.result();
}

napi_value remove_shared_memory(napi_env env, napi_callback_info) {
  const auto *c = controls(env);
  if (!c) return nullptr;
  return number(env, c->remove_shm_objects());
}

}  // namespace

const std::vector<binding> shm_bindings = {
    {"mgmtShmPrefix", shm_prefix},
    {"mgmtSharedMemory", shared_memory},
    {"mgmtRemoveSharedMemory", remove_shared_memory},
};

}  // namespace simctl
