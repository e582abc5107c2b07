#include "library/binding.h"

#include <dlfcn.h>

#include <mutex>

#include "base/error_codes.h"
#include "base/leaving.h"
#include "request/failure.h"
#include "base/log.h"
#include "base/bounded_text.h"

namespace cifs {

std::atomic<bool> is_cifsmgmtclient_loaded{false};

namespace mgmt {
#define CIFS_MGMT_FUNCTION(name) name##_fn name = nullptr;
#include "library/function_list.inc"
#undef CIFS_MGMT_FUNCTION
}  // namespace mgmt

namespace {

struct function_row {
  const char *symbol;
  void **pointer;  // the module-wide pointer variable, written as POSIX dlsym allows
};

const function_row cifsmgmtclient_functions[] = {
#define CIFS_MGMT_FUNCTION(name) {#name, reinterpret_cast<void **>(&mgmt::name)},
#include "library/function_list.inc"
#undef CIFS_MGMT_FUNCTION
};
static_assert(sizeof cifsmgmtclient_functions / sizeof cifsmgmtclient_functions[0] == 20);

const char *loader_error() {
  const char *text = dlerror();
  return text ? text : "unknown error";
}

}  // namespace

void load_cifsmgmtclient_functions() {
  static std::mutex loading;
  std::lock_guard<std::mutex> hold(loading);
  if (is_cifsmgmtclient_loaded.load(std::memory_order_acquire)) return;  // another environment bound it meanwhile
  (void)dlerror();  // a stale error must not be taken for this open's
  void *handle = dlopen(cifsmgmtclient_library_name, RTLD_LAZY);
  if (handle == nullptr) {
    LOG_INFORMATION("Failed to load %s library due to error: %s", cifsmgmtclient_library_name, loader_error());
    return;  // still unloaded: the next call tries again
  }
  LOG_INFORMATION("Successfully loaded library: %s", cifsmgmtclient_library_name);
  for (const function_row &row : cifsmgmtclient_functions) {
    (void)dlerror();
    *row.pointer = dlsym(handle, row.symbol);
    if (const char *error = dlerror())
      LOG_ERROR("Failed to load %s function from %s library due to error: %s", row.symbol,
              cifsmgmtclient_library_name, error);
  }
  // The handle stays open for the life of the process.
  is_cifsmgmtclient_loaded.store(true, std::memory_order_release);
}

bool library_calls_allowed(request_instance *instance) {
  if (!leaving()) return true;
  record_failure(instance, status_library_not_loaded, id_library_not_loaded, nullptr,
                 "The process is exiting: no library call is made");
  static std::atomic<bool> said{false};
  if (!said.exchange(true)) LOG_ERROR("The process is exiting: the requests still queued make no library call");
  return false;
}

bool require_function(request_instance *instance, const void *function, const char *name) {
  if (!library_calls_allowed(instance)) return false;
  if (function != nullptr) return true;
  RECORD_AND_LOG(instance, status_library_not_loaded, id_library_not_loaded, nullptr,
                 ("CIFSMGMTCLIENT library function %s is not available", name), "%s, error: %d",
                 instance->error_message, static_cast<int>(status_library_not_loaded));
  return false;
}

}  // namespace cifs
