// The three CIFS spheres as the module exports them: each is its operation
// table, made from its sphere's rows, and its own texts; the request cycle
// does the rest.
#include "connections/connections_operations.h"
#include "contexts/contexts_operations.h"
#include "module/operation_table.h"
#include "module/sphere.h"
#include "module/spheres.h"
#include "shares/share_operations.h"

namespace cifs {

namespace {

#define CIFS_OPERATION(...) {__VA_ARGS__},
constexpr operation_entry shares_operations[] = {
#include "shares/shares_table.inc"
};
constexpr operation_entry connections_operations[] = {
#include "connections/connections_table.inc"
};
constexpr operation_entry contexts_operations[] = {
#include "contexts/contexts_table.inc"
};
#undef CIFS_OPERATION

constexpr auto cifs_shares_api_handlers = operation_rows(shares_operations);
constexpr auto cifs_shares_api_handlers_strings = operation_descriptions(shares_operations);

const sphere_def shares_sphere{
    cifs_shares_api_handlers,
    cifs_shares_api_handlers_strings,
    {"cifs_shares_sphere", CIFS_TEXT("Memory allocation for cifs instance data failed."),
     CIFS_TEXT("Failed to retrieve data."),
     CIFS_NUMBER_TEXT("A request has been received for an unknown cifs share operation: %d"),
     CIFS_NUMBER_TEXT("Failed to create error promise for cifs shares operations: %d")},
    request_rules::shares_and_connections,
    {"cifs_shares_work_complete", CIFS_NUMBER_TEXT("Failed to create NAPI object, error: %d"),
     CIFS_NUMBER_TEXT("Failed to resolve promise, error: %d"),
     CIFS_NUMBER_TEXT("Failed to remove async worker, error: %d")},
};

constexpr auto cifs_connections_api_handlers = operation_rows(connections_operations);
constexpr auto cifs_connections_api_handlers_strings = operation_descriptions(connections_operations);

const sphere_def connections_sphere{
    cifs_connections_api_handlers,
    cifs_connections_api_handlers_strings,
    {"cifs_connections_sphere", CIFS_TEXT("Memory allocation for cifs connection instance data failed."),
     CIFS_TEXT("Failed to retrieve cb data."),
     CIFS_NUMBER_TEXT("A request has been received for an unknown cifs connection operation: %d"),
     CIFS_NUMBER_TEXT("Failed to create error promise for cifs connections operations: %d")},
    request_rules::shares_and_connections,
    {"cifs_connections_work_complete", CIFS_NUMBER_TEXT("Failed to create NAPI object, error: %d"),
     CIFS_NUMBER_TEXT("Failed to resolve cifs promise, %d"), CIFS_TEXT("Failed to remove cifs async worker")},
};

constexpr auto cifs_user_contexts_api_handlers = operation_rows(contexts_operations);
constexpr auto cifs_user_contexts_api_handlers_strings = operation_descriptions(contexts_operations);

const sphere_def contexts_sphere{
    cifs_user_contexts_api_handlers,
    cifs_user_contexts_api_handlers_strings,
    {"cifs_contexts_sphere", CIFS_TEXT("Memory allocation for cifs connection instance data failed."),
     CIFS_TEXT("Failed to retrieve cb data."),
     CIFS_NUMBER_TEXT("A request has been received for an unknown cifs user contexts operation: %d"),
     CIFS_NUMBER_TEXT("Failed to create cifs error promise: %d")},
    request_rules::contexts,
    {"cifs_contexts_work_complete", CIFS_TEXT("Failed to create NAPI object for cifs."),
     CIFS_NUMBER_TEXT("Failed to resolve cifs promise, %d"), CIFS_TEXT("Failed to remove cifs async worker")},
};

}  // namespace

napi_value cifs_shares_sphere(napi_env env, napi_callback_info info) { return sphere_entry<shares_sphere>(env, info); }

napi_value cifs_connections_sphere(napi_env env, napi_callback_info info) {
  return sphere_entry<connections_sphere>(env, info);
}

napi_value cifs_contexts_sphere(napi_env env, napi_callback_info info) {
  return sphere_entry<contexts_sphere>(env, info);
}

}  // namespace cifs
