#include <atomic>

#include "base/leaving.h"
#include "base/log.h"
#include "module/spheres.h"
#include "request/napi_call.h"

// libuv's, which Node exports to addons: the main thread's loop.
extern "C" struct uv_loop_s *uv_default_loop(void);

namespace cifs {

namespace {

napi_value process_exiting(napi_env, napi_callback_info) {
  process_leaving.store(true, std::memory_order_release);
  return nullptr;
}

// process.exit runs the work still queued in the thread pool before the
// process ends, and neither an environment cleanup hook nor an atexit handler
// runs before that; the process's 'exit' event does. The main thread's only:
// a worker that exits ends itself alone. The listener goes first, so that a
// request another listener makes is refused too.
void watch_process_exit(napi_env env) {
  struct uv_loop_s *loop = nullptr;
  if (napi_get_uv_event_loop(env, &loop) != napi_ok || loop != uv_default_loop()) return;
  static std::atomic<bool> watching{false};
  if (watching.exchange(true)) return;
  napi_value global, process, prepend, listener, result;
  napi_value argv[2];
  napi_status status = napi_get_global(env, &global);
  if (status == napi_ok) status = napi_get_named_property(env, global, "process", &process);
  if (status == napi_ok) status = napi_get_named_property(env, process, "prependListener", &prepend);
  if (status == napi_ok) status = napi_create_string_utf8(env, "exit", NAPI_AUTO_LENGTH, &argv[0]);
  if (status == napi_ok)
    status = napi_create_function(env, "cifs_process_exiting", NAPI_AUTO_LENGTH, process_exiting, nullptr, &listener);
  if (status == napi_ok) {
    argv[1] = listener;
    status = napi_call_function(env, process, prepend, 2, argv, &result);
  }
  if (status != napi_ok) {
    clear_pending_exception(env);  // loading goes on; only the exit is unwatched
    watching.store(false);
    LOG_ERROR("Failed to watch for the process exit, error: %d", status);
  }
}

}  // namespace

napi_value Init(napi_env env, napi_value exports) {
  choose_log_destination();  // once per process, whichever environment loads first
  watch_process_exit(env);
  const napi_property_descriptor properties[] = {
      {"native_config_sphere", nullptr, native_config_sphere, nullptr, nullptr, nullptr, napi_default, nullptr},
      {"cifs_connections_sphere", nullptr, cifs_connections_sphere, nullptr, nullptr, nullptr, napi_default, nullptr},
      {"cifs_shares_sphere", nullptr, cifs_shares_sphere, nullptr, nullptr, nullptr, napi_default, nullptr},
      {"cifs_contexts_sphere", nullptr, cifs_contexts_sphere, nullptr, nullptr, nullptr, napi_default, nullptr},
  };
  // Registration cannot report a failure to anyone; the exports go back as they are.
  (void)napi_define_properties(env, exports, sizeof properties / sizeof properties[0], properties);
  return exports;
}

}  // namespace cifs
