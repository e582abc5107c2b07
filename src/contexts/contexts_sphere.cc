#include "contexts/contexts_operations.h"
#include "module/operation_table.h"
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

constexpr operation_entry contexts_operations[] = {
#define CIFS_OPERATION(...) {__VA_ARGS__},
#include "contexts/contexts_table.inc"
#undef CIFS_OPERATION
};
constexpr auto cifs_user_contexts_api_handlers = operation_rows(contexts_operations);
constexpr auto cifs_user_contexts_api_handlers_strings = operation_descriptions(contexts_operations);

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
