// The executor shape of every operation on several names: check the caller,
// call the library once per name in request order, log each name it failed
// for, and fail the request as a whole only when every name failed (an empty
// list included).
#pragma once

#include "base/log.h"
#include "library/binding.h"
#include "library/caller_identity.h"
#include "request/failure.h"
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

// What one name's call gave: the library's status, or a refusal of the
// module's own that the call logged itself (a name its record cannot carry).
struct entry_status {
  int32_t status;
  bool logged = false;
  entry_status(int32_t library_status) : status(library_status) {}  // a status as the library gave it
  entry_status(int32_t own_status, bool already_logged) : status(own_status), logged(already_logged) {}
};

// Worker thread. `call(entry)` makes the entry's library call and returns
// its status, which marks the entry failed when it is not 0. A refused
// caller or an unavailable library call processes no name, and every name is
// then reported failed with that error.
template <class Call>
void run_batch(request_instance *instance, const void *function, const char *function_name,
               const whole_request_failure &all_failed, Call &&call) {
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

// Runs the batch of library call `fn` from an executor: `call` maps a
// received_entry to its entry_status, and a name that failed is logged under
// the executor's name as `failure_format` with the name and the status.
#define CIFS_RUN_BATCH(instance, fn, failure_format, all_failed, call)                                        \
  ::cifs::run_batch((instance), reinterpret_cast<const void *>(::cifs::mgmt::fn), #fn, (all_failed),          \
                    [&, executor_ = __func__](const ::cifs::received_entry &entry_) {                          \
                      const ::cifs::entry_status outcome_ = (call)(entry_);                                     \
                      if (outcome_.status != 0 && !outcome_.logged)                                              \
                        CIFS_LOG_AS(executor_, LOG_ERR, failure_format, entry_.name, outcome_.status);           \
                      return outcome_.status;                                                                     \
                    })
