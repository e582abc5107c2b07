// Operation 1: every share, as the library lists them.
#include "base/error_codes.h"
#include "library/binding.h"
#include "library/caller_identity.h"
#include "request/failure.h"
#include "shares/share_operations.h"

namespace cifs {

void cs_list_all_shares(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  if (!is_user_supervisor(instance) || !CIFS_REQUIRE(instance, CIFSLIB_ListAllShares)) return;
  void *block = nullptr;
  int32_t status = mgmt::CIFSLIB_ListAllShares(&block);
  instance->share_list.reset(static_cast<uint8_t *>(block));
  if (status != 0)
    RECORD_AND_LOG(instance, static_cast<uint32_t>(status), id_failed_to_list_shares, nullptr,
                   ("Failed to get the list of cifs shares"), "%s, error: %d", instance->error_message, status);
}

}  // namespace cifs
