#include "connections/connections_operations.h"
#include "module/napi_call.h"
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

constexpr operation_row cifs_connections_api_handlers[] = {
    {t_empty, nullptr, nullptr, nullptr},
    {t_fetch_cifs_connections_count, nullptr, cc_get_connections_count, complete_connections_count},
    {t_fetch_cifs_connections_list, get_list_connections_input_data, cc_list_all_connections,
     complete_connections_list},
    {t_fetch_cifs_connection_details, get_connection_details_input_data, cc_get_connection_details,
     complete_connection_details},
    {t_fetch_cifs_connection_mapped_shares, get_connection_details_input_data, cc_list_connection_mapped_shares,
     complete_mapped_shares},
    {t_fetch_cifs_connection_open_files, get_list_connection_openfiles_input_data, cc_list_connection_open_files,
     complete_open_files_listing<cc_convert_open_files_list_to_json>},
    {t_fetch_cifs_cached_invalid_users_list, get_list_invalid_users_input_data, cc_list_invalid_users,
     complete_invalid_users_list},
    {t_add_permanent_invalid_user, get_invalid_username_input_data, cc_add_permanent_invalid_user,
     release_user_name},
    {t_make_permanent_invalid_user, get_multiple_invalid_usernames_input_data, cc_make_permanent_invalid_user,
     report_user_outcomes},
    {t_remove_invalid_user, get_multiple_invalid_usernames_input_data, cc_remove_invalid_users,
     report_user_outcomes},
    {t_add_blocked_user, get_invalid_username_input_data, cc_add_permanent_invalid_user, release_user_name},
    {t_make_blocked_user, get_multiple_invalid_usernames_input_data, cc_make_permanent_invalid_user,
     report_user_outcomes},
    {t_unblock_user, get_multiple_invalid_usernames_input_data, cc_remove_invalid_users, report_user_outcomes},
};

constexpr const char *cifs_connections_api_handlers_strings[] = {
    nullptr,
    "fetching connections count",
    "fetching list of all connections",
    "fetching details of a connection",
    "fetching mapped shares of a connection",
    "fetching list of all open files of a connection",
    "fetching list of all cached invalid users",
    "adding a permanent invalid user",
    "making existing invalid user to a permanent invalid user",
    "removing an invalid user",
    "adding a blocked (permanent invalid) user",
    "making existing invalid user to a blocked (permanent invalid) user",
    "unblock an invalid user",
};
static_assert(std::size(cifs_connections_api_handlers) == std::size(cifs_connections_api_handlers_strings));

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
