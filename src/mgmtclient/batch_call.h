// The executor shape of every operation on several names: check the caller,
// call the library once per name in request order, and fail the request as a
// whole only when every name failed (an empty list included).
#pragma once

#include "identity/caller_identity.h"
#include "mgmtclient/binding.h"
#include "module/failure.h"
#include "module/log.h"
#include "values/outcome_list.h"

namespace cifs {

struct whole_request_failure {
  uint32_t code;
  uint32_t id;
  const char *message;
  // Most batch operations leave the failure of the whole request unlogged;
  // one that logs it names the function to log for. The line carries the
  // status of the last library call, or 1 when the list was empty.
  const char *logged_by = nullptr;
};

// Worker thread. `call(entry)` makes the entry's library call, logs a failure
// and returns the status. A refused caller or an unavailable library call
// processes no name, and every name is then reported failed with that error.
template <class Call>
void run_batch(request_instance *instance, const void *function, const char *function_name, Call &&call,
               const whole_request_failure &all_failed) {
  if (!is_user_supervisor(instance) || !require_function(instance, function, function_name)) {
    fail_all_entries(instance);
    return;
  }
  process_entries(instance, call);
  if (instance->failed_count != instance->entries_count) return;
  if (all_failed.logged_by == nullptr)
    (void)record_failure(instance, all_failed.code, all_failed.id, nullptr, "%s", all_failed.message);
  else
    (void)RECORD_AND_LOG_AS(all_failed.logged_by, instance, all_failed.code, all_failed.id, nullptr,
                            ("%s", all_failed.message), "%s, error: %d", instance->error_message,
                            instance->entries_tail != nullptr ? instance->entries_tail->status : 1);
}

}  // namespace cifs

#define CIFS_RUN_BATCH(instance, fn, call, all_failed) \
  ::cifs::run_batch((instance), reinterpret_cast<const void *>(::cifs::mgmt::fn), #fn, (call), (all_failed))
