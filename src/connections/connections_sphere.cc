#include "connections/connections_operations.h"
#include "module/napi_call.h"
#include "module/operation_table.h"
#include "module/sphere.h"
#include "module/spheres.h"
#include "shares/open_files_answer.h"
#include "shares/share_operations.h"
#include "values/builders.h"
#include "values/env_cache.h"
#include "values/outcome_list.h"

namespace cifs {

namespace {

void cifs_connections_work_complete(napi_env env, napi_status, void *data);

void complete_connections_count(napi_env env, request_instance &instance, napi_value result, const answer_kit &kit) {
  if (instance.error_code != 0) return;
  (void)kit.set(result, ck_active_connections,
                make_uint32(env, cifs_keys[ck_active_connections], instance.connection_count));
}

void complete_connections_list(napi_env env, request_instance &instance, napi_value result, const answer_kit &kit) {
  if (instance.error_code == 0) cc_convert_connections_list_to_json(env, &instance, result, kit);
  instance.connection_filters.release();
  instance.connection_records.reset();
}

void complete_connection_details(napi_env env, request_instance &instance, napi_value result, const answer_kit &kit) {
  if (instance.error_code == 0) cc_convert_connection_details_to_json(env, &instance, result, kit);
  instance.connection_records.reset();  // the security equivalence texts stay the library's
}

void complete_mapped_shares(napi_env env, request_instance &instance, napi_value result, const answer_kit &kit) {
  if (instance.error_code == 0) cs_convert_shares_list_to_json(env, &instance, result, share_form::mapped, kit);
  instance.share_list.reset();
}

void complete_invalid_users_list(napi_env env, request_instance &instance, napi_value result,
                                 const answer_kit &kit) {
  if (instance.error_code == 0) cc_convert_invalid_users_list_to_json(env, &instance, result, kit);
  instance.invalid_users_request.reset();
  instance.listing_copy.reset();
}

void release_user_name(napi_env, request_instance &instance, napi_value, const answer_kit &) {
  instance.user_name.reset();
}

void report_user_outcomes(napi_env env, request_instance &instance, napi_value result, const answer_kit &kit) {
  convert_processed_entries_list_to_json(env, &instance, result, "username", kit);
}

constexpr operation_entry connections_operations[] = {
#define CIFS_OPERATION(...) {__VA_ARGS__},
#include "connections/connections_table.inc"
#undef CIFS_OPERATION
};
constexpr auto cifs_connections_api_handlers = operation_rows(connections_operations);
constexpr auto cifs_connections_api_handlers_strings = operation_descriptions(connections_operations);

const sphere_def connections_sphere{
    cifs_connections_api_handlers,
    cifs_connections_api_handlers_strings,
    cifs_connections_work_complete,
    {"cifs_connections_sphere", CIFS_TEXT("Memory allocation for cifs connection instance data failed."),
     CIFS_TEXT("Failed to retrieve cb data."),
     CIFS_NUMBER_TEXT("A request has been received for an unknown cifs connection operation: %d"),
     CIFS_NUMBER_TEXT("Failed to create error promise for cifs connections operations: %d")},
    request_rules::shares_and_connections,
    {"cifs_connections_work_complete", CIFS_NUMBER_TEXT("Failed to create NAPI object, error: %d"),
     CIFS_NUMBER_TEXT("Failed to resolve cifs promise, %d"), CIFS_TEXT("Failed to remove cifs async worker")},
};

void cifs_connections_work_complete(napi_env env, napi_status, void *data) {
  complete_request(env, data, connections_sphere);
}

}  // namespace

napi_value cifs_connections_sphere(napi_env env, napi_callback_info info) {
  return run_sphere(env, info, connections_sphere);
}

}  // namespace cifs
