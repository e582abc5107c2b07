#include "module/sphere.h"
#include "module/spheres.h"

namespace cifs {

namespace {

void cifs_shares_work_complete(napi_env env, napi_status, void *data);

// Eight operations; none is offered yet, so every number is unknown (an empty
// executor is treated as not offered, never answered with success).
constexpr operation_row cifs_shares_api_handlers[9] = {};
constexpr const char *cifs_shares_api_handlers_strings[9] = {};

const sphere_def shares_sphere{
    cifs_shares_api_handlers,
    cifs_shares_api_handlers_strings,
    cifs_shares_work_complete,
    {"cifs_shares_sphere", "Memory allocation for cifs instance data failed.", "Failed to retrieve data.",
     "A request has been received for an unknown cifs share operation: %d",
     "Failed to create error promise for cifs shares operations: %d"},
    request_rules::shares_and_connections,
};

constexpr completion_texts shares_completion{"cifs_shares_work_complete", "Failed to create NAPI object, error: %d",
                                             "Failed to resolve promise, error: %d",
                                             "Failed to remove async worker, error: %d"};

bool shares_branch(napi_env, request_instance &, napi_value) { return false; }

void cifs_shares_work_complete(napi_env env, napi_status, void *data) {
  complete_request(env, data, shares_completion, shares_branch);
}

}  // namespace

napi_value cifs_shares_sphere(napi_env env, napi_callback_info info) { return run_sphere(env, info, shares_sphere); }

}  // namespace cifs
