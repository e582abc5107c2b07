// The executor of the three paged listings (open files of a share or of a
// connection, cached invalid users): check the caller, hand the library the
// request page, keep the result header it returns, and record its failure.
#pragma once

#include <cstdint>

#include "library/binding.h"
#include "library/caller_identity.h"
#include "request/failure.h"

namespace cifs {

using listing_fn = int32_t (*)(void *request_page, void **result_header);

// What a listing's failure names: the request key concerned (empty: none)
// and the text, each within its field of the instance.
struct listing_failure {
  char key[sizeof request_instance::error_key] = {};
  char message[sizeof request_instance::error_message] = {};
};

// Worker thread. After a call that returned 0, *header is the header the
// library keeps (read, never released). A call that failed leaves the header
// alone and records its status with `id` and what `describe(page, &failure)`
// gives, logged under `executor`. A refused caller or an unavailable call is
// recorded by its own check.
template <class Describe>
void run_listing(request_instance *instance, listing_fn function, const char *function_name, uint8_t *page,
                 const uint8_t **header, const char *executor, uint32_t id, Describe &&describe) {
  if (!is_user_supervisor(instance) ||
      !require_function(instance, reinterpret_cast<const void *>(function), function_name))
    return;
  void *result = nullptr;
  const int32_t status = function(page, &result);
  if (status == 0) {
    *header = static_cast<const uint8_t *>(result);
    return;
  }
  listing_failure failure;
  describe(page, &failure);
  (void)RECORD_AND_LOG_AS(executor, instance, static_cast<uint32_t>(status), id,
                          failure.key[0] != '\0' ? failure.key : nullptr, ("%s", failure.message), "%s, error: %d",
                          instance->error_message, status);
}

}  // namespace cifs

#define CIFS_RUN_LISTING(instance, fn, page, header, id, describe) \
  ::cifs::run_listing((instance), ::cifs::mgmt::fn, #fn, (page), (header), __func__, (id), (describe))
