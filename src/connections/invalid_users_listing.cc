// Operation 6: the cached invalid users (being written).
#include "connections/connections_operations.h"
#include "module/error_codes.h"
#include "module/failure.h"

namespace cifs {

uint32_t get_list_invalid_users_input_data(napi_env, napi_value, request_instance *instance) {
  return record_failure(instance, status_invalid_value, 0, nullptr, "Not available yet");
}
void cc_list_invalid_users(napi_env, void *) {}
void cc_convert_invalid_users_list_to_json(napi_env, request_instance *, napi_value, const answer_kit &) {}
void cc_remove_invalid_users_object(const uint8_t *) {}

}  // namespace cifs
