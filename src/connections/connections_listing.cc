// Operations 1 and 2: the connection count and the filtered, paged list.
#include "connections/connections_operations.h"
#include "identity/caller_identity.h"
#include "mgmtclient/binding.h"
#include "module/error_codes.h"
#include "module/failure.h"
#include "module/log.h"

namespace cifs {

void cc_get_connections_count(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  if (!is_user_supervisor(instance) || !CIFS_REQUIRE(instance, CIFSLIB_GetConnectionsCount)) return;
  const int32_t status = mgmt::CIFSLIB_GetConnectionsCount(&instance->connection_count);
  if (status != 0) {
    record_failure(instance, static_cast<uint32_t>(status), id_failed_connections_count, nullptr,
                   "Failed to get CIFS connections count");
    LOG_ERROR("%s, error: %d", instance->error_message, status);
  }
  instance->error_code = static_cast<uint32_t>(status);
}

uint32_t get_list_connections_input_data(napi_env, napi_value, request_instance *instance) {
  return record_failure(instance, status_invalid_value, 0, nullptr, "Not available yet");
}
void cc_list_all_connections(napi_env, void *) {}
void cc_convert_connections_list_to_json(napi_env, request_instance *, napi_value, const answer_kit &) {}

}  // namespace cifs
