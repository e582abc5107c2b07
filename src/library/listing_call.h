// The executor of the three paged listings (open files of a share or of a
// connection, cached invalid users): check the caller, hand the library the
// request page, keep the result header it returns, take the page it names
// (copied, its shared memory object removed), and record a failure.
#pragma once

#include <cinttypes>
#include <cstdint>

#include "base/error_codes.h"
#include "library/binding.h"
#include "library/caller_identity.h"
#include "request/failure.h"
#include "values/keys.h"
#include "wire/library_limits.h"

namespace cifs {

using listing_fn = int32_t (*)(void *request_page, void **result_header);

// What a listing's failure names: the request key concerned (empty: none)
// and the text, each within its field of the instance.
struct listing_failure {
  char key[sizeof request_instance::error_key] = {};
  char message[error_message_bound] = {};
};

// The page refusal below is answered whole: the longest listing name (31
// bytes), a size of 20 digits and the 97 bytes of text around them.
static_assert(sizeof request_instance::error_message > 31 + 20 + 97);

// How one listing reads its page: the converter whose name the page's log
// lines carry, their subject, and the error id of the listing's failures.
struct listing_form {
  const char *converter;
  const list_page_texts &texts;
  uint32_t id;
};

// Worker thread. After a call that returned 0, the instance holds the page
// taken from the header the library keeps (read, never released), its
// object removed already. A page too large to read whole is
// refused (41455, the listing's error id, key returnCount; logged under
// `executor`): cut, it would drop records in silence. A call that failed
// leaves the header alone and records its status with the listing's id and
// what `describe(page, &failure)` gives, logged under `executor`. A refused
// caller or an unavailable call is recorded by its own check.
template <class Describe>
void run_listing(request_instance *instance, listing_fn function, const char *function_name, uint8_t *page,
                 const char *executor, const listing_form &form, Describe &&describe) {
  if (!is_user_supervisor(instance) ||
      !require_function(instance, reinterpret_cast<const void *>(function), function_name))
    return;
  void *result = nullptr;
  const int32_t status = function(page, &result);
  if (status == 0) {
    instance->listing = listing_page::take(static_cast<const uint8_t *>(result), form.converter, form.texts);
    if (instance->listing.too_large()) {
      record_whole_failure(instance, status_does_not_fit, form.id, ckey(k_return_count),
                           "%s page of %" PRIu64 " bytes is larger than the %" PRIu64
                           " bytes the module reads; ask for a smaller returnCount",
                           instance->operation_name, instance->listing.header().object_size, listing_max_bytes);
      CIFS_LOG_AS(executor, LOG_ERR, "%s, error: %d", instance->error_message, static_cast<int>(status_does_not_fit));
    }
    return;
  }
  listing_failure failure;
  describe(page, &failure);
  (void)RECORD_AND_LOG_AS(executor, instance, static_cast<uint32_t>(status), form.id,
                          failure.key[0] != '\0' ? failure.key : nullptr, ("%s", failure.message), "%s, error: %d",
                          instance->error_message, status);
}

}  // namespace cifs

#define CIFS_RUN_LISTING(instance, fn, page, form, describe) \
  ::cifs::run_listing((instance), ::cifs::mgmt::fn, #fn, (page), __func__, (form), (describe))
