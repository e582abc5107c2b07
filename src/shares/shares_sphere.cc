#include "module/sphere.h"
#include "module/spheres.h"
#include "shares/open_files_answer.h"
#include "shares/share_operations.h"
#include "values/outcome_list.h"

namespace cifs {

namespace {

void cifs_shares_work_complete(napi_env env, napi_status, void *data);

void complete_shares_listing(napi_env env, request_instance &instance, napi_value result, const answer_kit &kit) {
  if (instance.error_code == 0) cs_convert_shares_list_to_json(env, &instance, result, share_form::full, kit);
  instance.share_list.reset();
}

void release_share_record(napi_env, request_instance &instance, napi_value, const answer_kit &) {
  instance.share_record.reset();
}

void report_share_outcomes(napi_env env, request_instance &instance, napi_value result, const answer_kit &kit) {
  convert_processed_entries_list_to_json(env, &instance, result, "share", kit);
}

void report_file_outcomes(napi_env env, request_instance &instance, napi_value result, const answer_kit &kit) {
  convert_processed_entries_list_to_json(env, &instance, result, "file", kit);
}

constexpr operation_row cifs_shares_api_handlers[] = {
    {t_empty, nullptr, nullptr, nullptr},
    {t_fetch_cifs_shares, nullptr, cs_list_all_shares, complete_shares_listing},
    {t_create_cifs_share, get_shareconfig_input_data, cs_create_share, release_share_record},
    {t_change_cifs_share_configuration, get_shareconfig_input_data, cs_change_share_configuration,
     release_share_record},
    {t_change_cifs_share_feature_configuration, get_share_featureconfig_input_data,
     cs_change_share_feature_configuration, report_share_outcomes},
    {t_remove_cifs_share, get_removeshare_input_data, cs_remove_share, report_share_outcomes},
    {t_list_open_files_of_share, get_list_openfiles_input_data, cs_list_open_files_of_share,
     complete_open_files_listing<cs_convert_open_files_list_to_json>},
    {t_close_open_file, get_close_openfile_input_data, cs_close_open_file, report_file_outcomes},
    {t_close_all_open_files_of_share, get_close_allopenfiles_input_data, cs_close_all_open_files_of_share,
     release_share_record},
};

// Operation 1 has no description; the cycle's log lines use its name instead.
constexpr const char *cifs_shares_api_handlers_strings[] = {
    nullptr,
    nullptr,
    "fetching create share",
    "fetching share configuration",
    "fetching share feature configuration",
    "fetching remove share",
    "fetching list open files of share",
    "fetching close open file",
    "fetching close all open files of share",
};

const sphere_def shares_sphere{
    cifs_shares_api_handlers,
    cifs_shares_api_handlers_strings,
    cifs_shares_work_complete,
    {"cifs_shares_sphere", CIFS_TEXT("Memory allocation for cifs instance data failed."),
     CIFS_TEXT("Failed to retrieve data."),
     CIFS_NUMBER_TEXT("A request has been received for an unknown cifs share operation: %d"),
     CIFS_NUMBER_TEXT("Failed to create error promise for cifs shares operations: %d")},
    request_rules::shares_and_connections,
    {"cifs_shares_work_complete", CIFS_NUMBER_TEXT("Failed to create NAPI object, error: %d"),
     CIFS_NUMBER_TEXT("Failed to resolve promise, error: %d"),
     CIFS_NUMBER_TEXT("Failed to remove async worker, error: %d")},
};

void cifs_shares_work_complete(napi_env env, napi_status, void *data) { complete_request(env, data, shares_sphere); }

}  // namespace

napi_value cifs_shares_sphere(napi_env env, napi_callback_info info) { return run_sphere(env, info, shares_sphere); }

}  // namespace cifs
