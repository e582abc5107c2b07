// One checked-call helper for Node-API statuses, and recovery from the
// pending JavaScript exception that a failed property access leaves behind.
#pragma once

#include <node_api.h>

#include "base/log.h"

namespace cifs {

// A failed Node-API property call on a non-object leaves an exception pending,
// and every later Node-API call of the same callback then fails too. Where the
// failure is answered as a module error, the exception is dropped here.
inline void clear_pending_exception(napi_env env) {
  bool pending = false;
  if (napi_is_exception_pending(env, &pending) == napi_ok && pending) {
    napi_value ignored;
    (void)napi_get_and_clear_last_exception(env, &ignored);  // the module error replaces it
  }
}

}  // namespace cifs

// Runs `call`; on failure logs `fmt` (which takes the status as its last %d)
// and then runs `on_failure` (a statement: return, goto, assignment ...).
#define NAPI_CALL_OR(call, on_failure, fmt, ...)   \
  do {                                             \
    napi_status napi_status_ = (call);             \
    if (napi_status_ != napi_ok) {                 \
      LOG_ERROR(fmt, ##__VA_ARGS__, napi_status_);   \
      on_failure;                                  \
    }                                              \
  } while (0)
