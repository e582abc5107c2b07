// Operations 3 and 4: one connection's details and mapped shares (being written).
#include "connections/connections_operations.h"
#include "module/error_codes.h"
#include "module/failure.h"

namespace cifs {

uint32_t get_connection_details_input_data(napi_env, napi_value, request_instance *instance) {
  return record_failure(instance, status_invalid_value, 0, nullptr, "Not available yet");
}
void cc_get_connection_details(napi_env, void *) {}
void cc_list_connection_mapped_shares(napi_env, void *) {}
void cc_convert_connection_details_to_json(napi_env, request_instance *, napi_value, const answer_kit &) {}

}  // namespace cifs
