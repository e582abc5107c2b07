// Run-time binding of the CIFS management client library. The flag and the
// pointers are written on a JavaScript thread, before any work item that
// calls through them is queued; worker threads only read them.
#pragma once

#include <atomic>

#include "library/cifsmgmt_api.h"
#include "request/request_instance.h"

namespace cifs {

inline constexpr const char *cifsmgmtclient_library_name = "libcifsmgmtclient.so";

// Set once the library is open and its calls are bound; the pointers are
// written before it, so a thread that reads it true sees them all.
extern std::atomic<bool> is_cifsmgmtclient_loaded;

// Opens the library through the system search path (once it succeeds, never
// again) and binds its calls; a missing symbol leaves its pointer null.
// Environments on several threads (workers) may call it at once: one binds,
// the others find the library loaded.
void load_cifsmgmtclient_functions();

namespace mgmt {
#define CIFS_MGMT_FUNCTION(name) extern name##_fn name;
#include "library/function_list.inc"
#undef CIFS_MGMT_FUNCTION
}  // namespace mgmt

// An executor's guard before its first library call (the identity lookup):
// false once the process is leaving, with the failure recorded (41451, tag
// of the unloadable library); no answer will carry it, as no completion runs
// any more. The first refusal is logged.
bool library_calls_allowed(request_instance *instance);

// An executor's guard for a call whose symbol the library lacks: records the
// failure (41451, tag of the unloadable library) and returns false. It also
// refuses, as library_calls_allowed does, once the process is leaving.
bool require_function(request_instance *instance, const void *function, const char *name);

}  // namespace cifs

// Checks the pointer of library call `fn` for the executor's `instance`.
#define CIFS_REQUIRE(instance, fn) \
  ::cifs::require_function((instance), reinterpret_cast<const void *>(::cifs::mgmt::fn), #fn)
