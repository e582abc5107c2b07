// Operations 7 to 12: invalid and blocked users (being written).
#include "connections/connections_operations.h"
#include "module/error_codes.h"
#include "module/failure.h"

namespace cifs {

uint32_t get_invalid_username_input_data(napi_env, napi_value, request_instance *instance) {
  return record_failure(instance, status_invalid_value, 0, nullptr, "Not available yet");
}
void cc_add_permanent_invalid_user(napi_env, void *) {}
uint32_t get_multiple_invalid_usernames_input_data(napi_env, napi_value, request_instance *instance) {
  return record_failure(instance, status_invalid_value, 0, nullptr, "Not available yet");
}
void cc_make_permanent_invalid_user(napi_env, void *) {}
void cc_remove_invalid_users(napi_env, void *) {}

}  // namespace cifs
