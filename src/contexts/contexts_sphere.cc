#include "contexts/contexts_operations.h"
#include "module/sphere.h"
#include "module/spheres.h"
#include "values/outcome_list.h"

namespace cifs {

namespace {

void cifs_contexts_work_complete(napi_env env, napi_status, void *data);

void complete_contexts_listing(napi_env env, request_instance &instance, napi_value result, const answer_kit &kit) {
  if (instance.error_code == 0) cifs_contexts_list_json(env, &instance, &result, kit);
  instance.contexts_count.reset();
  instance.contexts_list.reset();
}

void report_context_outcomes(napi_env env, request_instance &instance, napi_value result, const answer_kit &kit) {
  convert_processed_entries_list_to_json(env, &instance, result, "user context", kit);
}

constexpr operation_row cifs_user_contexts_api_handlers[] = {
    {t_empty, nullptr, nullptr, nullptr},
    {t_fetch_cifs_user_contexts, nullptr, get_cifs_user_contexts, complete_contexts_listing},
    {t_add_cifs_user_context, get_contexts_list_input_data, add_cifs_user_contexts, report_context_outcomes},
    {t_remove_cifs_user_contexts, get_contexts_list_input_data, remove_cifs_user_contexts, report_context_outcomes},
};

constexpr const char *cifs_user_contexts_api_handlers_strings[] = {
    nullptr,
    "fetching cifs user contexts",
    "adding cifs user context",
    "removing cifs user contexts",
};

const sphere_def contexts_sphere{
    cifs_user_contexts_api_handlers,
    cifs_user_contexts_api_handlers_strings,
    cifs_contexts_work_complete,
    {"cifs_contexts_sphere", CIFS_TEXT("Memory allocation for cifs connection instance data failed."),
     CIFS_TEXT("Failed to retrieve cb data."),
     CIFS_NUMBER_TEXT("A request has been received for an unknown cifs user contexts operation: %d"),
     CIFS_NUMBER_TEXT("Failed to create cifs error promise: %d")},
    request_rules::contexts,
    {"cifs_contexts_work_complete", CIFS_TEXT("Failed to create NAPI object for cifs."),
     CIFS_NUMBER_TEXT("Failed to resolve cifs promise, %d"), CIFS_TEXT("Failed to remove cifs async worker")},
};

void cifs_contexts_work_complete(napi_env env, napi_status, void *data) {
  complete_request(env, data, contexts_sphere);
}

}  // namespace

napi_value cifs_contexts_sphere(napi_env env, napi_callback_info info) { return run_sphere(env, info, contexts_sphere); }

}  // namespace cifs
