// JS bindings of the open files controls of the management library: the
// open files it knows, and the shared memory objects it created that are
// still there.
#include <optional>
#include <string>
#include <vector>

#include "bindings.h"
#include "cifs_sim_status.h"
#include "mgmt_library.h"
#include "napi_check.h"

namespace simctl {
namespace {

struct open_files_controls {
  cifssim_set_open_files_fn set_open_files;
  cifssim_visit_open_files_fn visit_open_files;
  cifssim_shm_prefix_fn shm_prefix;
  cifssim_visit_texts_fn visit_shm_objects;
  cifssim_remove_shm_objects_fn remove_shm_objects;
};

// Bound on first use, like the other management controls.
const open_files_controls *controls(napi_env env) {
  static std::optional<open_files_controls> bound;
  if (bound) return &*bound;
  open_files_controls c{};
  if (!bind_control(env, "cifssim_set_open_files", c.set_open_files) ||
      !bind_control(env, "cifssim_visit_open_files", c.visit_open_files) ||
      !bind_control(env, "cifssim_shm_prefix", c.shm_prefix) ||
      !bind_control(env, "cifssim_visit_shm_objects", c.visit_shm_objects) ||
      !bind_control(env, "cifssim_remove_shm_objects", c.remove_shm_objects))
    return nullptr;
  bound = c;
  return &*bound;
}

// The texts of one file object, owned here until the library has copied them.
struct file_texts {
  std::string share, name, path, user, client;
  bool has_path = false, has_user = false, has_client = false;
};

bool read_file(napi_env env, napi_value object, file_texts &t, cifssim_open_file &f) {
  return read_text(env, object, "shareName", t.share, nullptr) && read_text(env, object, "name", t.name, nullptr) &&
         read_text(env, object, "fullPath", t.path, &t.has_path) &&
         read_text(env, object, "userName", t.user, &t.has_user) &&
         read_text(env, object, "clientIPAddress", t.client, &t.has_client) &&
         read_integer(env, object, "sessionID", 0, uint32_max, f.session_id) &&
         read_integer(env, object, "ID", 0, uint32_max, f.file_id) &&
         read_integer(env, object, "accessMask", 0, uint32_max, f.access_mask) &&
         read_integer(env, object, "lockLevel", 0, uint32_max, f.lock_level);
}

// mgmtSetOpenFiles([{shareName, name, sessionID, ID, accessMask, lockLevel, fullPath, userName, clientIPAddress}])
napi_value set_open_files(napi_env env, napi_callback_info info) {
  napi_value argv[1];
  if (!arguments(env, info, argv)) return nullptr;
  bool is_array = false;
  uint32_t length = 0;
  SIMCTL_CHECK(env, napi_is_array(env, argv[0], &is_array));
  if (!is_array) {
    throw_type_error(env, "files must be an array");
    return nullptr;
  }
  SIMCTL_CHECK(env, napi_get_array_length(env, argv[0], &length));
  std::vector<file_texts> texts(length);
  std::vector<cifssim_open_file> files(length);
  for (uint32_t i = 0; i < length; ++i) {
    napi_value item;
    SIMCTL_CHECK(env, napi_get_element(env, argv[0], i, &item));
    if (!read_file(env, item, texts[i], files[i])) return nullptr;
    files[i].share_name = texts[i].share.c_str();
    files[i].file_name = texts[i].name.c_str();
    files[i].full_path = texts[i].has_path ? texts[i].path.c_str() : nullptr;
    files[i].user_name = texts[i].has_user ? texts[i].user.c_str() : nullptr;
    files[i].client_address = texts[i].has_client ? texts[i].client.c_str() : nullptr;
  }
  const auto *c = controls(env);
  if (!c) return nullptr;
  return answer(env, c->set_open_files(files.data(), files.size()), "cifssim_set_open_files");
}

napi_value open_files(napi_env env, napi_callback_info) {
  const auto *c = controls(env);
  if (!c) return nullptr;
  array_builder files(env);
  c->visit_open_files(
      [](void *ctx, const cifssim_open_file *f) {
        auto &out = *static_cast<array_builder *>(ctx);
        napi_env e = out.env();
        napi_value o = new_object(e);
        const bool ok = o && set(e, o, "shareName", make_string(e, f->share_name)) &&
                        set(e, o, "sessionID", number(e, f->session_id)) &&
                        set(e, o, "ID", number(e, f->file_id)) &&
                        set(e, o, "accessMask", number(e, f->access_mask)) &&
                        set(e, o, "lockLevel", number(e, f->lock_level)) &&
                        set(e, o, "name", make_string(e, f->file_name)) &&
                        set(e, o, "fullPath", make_string(e, f->full_path)) &&
                        set(e, o, "userName", make_string(e, f->user_name)) &&
                        set(e, o, "clientIPAddress", make_string(e, f->client_address));
        out.push(ok ? o : nullptr);
      },
      &files);
  return files.result();
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

const std::vector<binding> open_files_bindings = {
    {"mgmtSetOpenFiles", set_open_files},     {"mgmtOpenFiles", open_files},
    {"mgmtShmPrefix", shm_prefix},
    {"mgmtSharedMemory", shared_memory},      {"mgmtRemoveSharedMemory", remove_shared_memory},
};

}  // namespace simctl
