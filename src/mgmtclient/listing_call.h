// The executor shape of the three paged listings (open files of a share or
// of a connection, cached invalid users): check the caller, hand the library
// the request page, and keep the result header it returns.
#pragma once

#include <cstdint>

#include "identity/caller_identity.h"
#include "mgmtclient/binding.h"

namespace cifs {

using listing_fn = int32_t (*)(void *request_page, void **result_header);

// Worker thread. 0 after a call that returned 0, with *header the header the
// library keeps (read, never released); the library's status after a call
// that failed, when the header is not touched; 0 as well when the caller was
// refused or the call is unavailable, with that failure recorded.
inline int32_t call_listing(request_instance *instance, listing_fn function, const char *function_name,
                            uint8_t *page, const uint8_t **header) {
  if (!is_user_supervisor(instance) ||
      !require_function(instance, reinterpret_cast<const void *>(function), function_name))
    return 0;
  void *result = nullptr;
  const int32_t status = function(page, &result);
  if (status == 0) *header = static_cast<const uint8_t *>(result);
  return status;
}

}  // namespace cifs

#define CIFS_CALL_LISTING(instance, fn, page, header) \
  ::cifs::call_listing((instance), ::cifs::mgmt::fn, #fn, (page), (header))
