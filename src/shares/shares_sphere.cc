#include "module/operation_table.h"
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

constexpr operation_entry shares_operations[] = {
#define CIFS_OPERATION(...) {__VA_ARGS__},
#include "shares/shares_table.inc"
#undef CIFS_OPERATION
};
constexpr auto cifs_shares_api_handlers = operation_rows(shares_operations);
constexpr auto cifs_shares_api_handlers_strings = operation_descriptions(shares_operations);

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
