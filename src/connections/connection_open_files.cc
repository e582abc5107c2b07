// Operation 5: the open files of one connection (being written).
#include "connections/connections_operations.h"
#include "module/error_codes.h"
#include "module/failure.h"

namespace cifs {

uint32_t get_list_connection_openfiles_input_data(napi_env, napi_value, request_instance *instance) {
  return record_failure(instance, status_invalid_value, 0, nullptr, "Not available yet");
}
void cc_list_connection_open_files(napi_env, void *) {}
void cc_convert_open_files_list_to_json(napi_env, request_instance *, napi_value, const answer_kit &) {}

}  // namespace cifs
