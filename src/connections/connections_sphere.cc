#include "module/sphere.h"
#include "module/spheres.h"

namespace cifs {

namespace {

void cifs_connections_work_complete(napi_env env, napi_status, void *data);

// Twelve operations; none is offered yet, so every number is unknown (an
// empty executor is treated as not offered, never answered with success).
constexpr operation_row cifs_connections_api_handlers[13] = {};
constexpr const char *cifs_connections_api_handlers_strings[13] = {};

const sphere_def connections_sphere{
    cifs_connections_api_handlers,
    cifs_connections_api_handlers_strings,
    cifs_connections_work_complete,
    {"cifs_connections_sphere", "Memory allocation for cifs connection instance data failed.",
     "Failed to retrieve cb data.", "A request has been received for an unknown cifs connection operation: %d",
     "Failed to create error promise for cifs connections operations: %d"},
    request_rules::shares_and_connections,
    {"cifs_connections_work_complete", "Failed to create NAPI object, error: %d", "Failed to resolve cifs promise, %d",
     "Failed to remove cifs async worker"},
};

void cifs_connections_work_complete(napi_env env, napi_status, void *data) {
  complete_request(env, data, connections_sphere);
}

}  // namespace

napi_value cifs_connections_sphere(napi_env env, napi_callback_info info) {
  return run_sphere(env, info, connections_sphere);
}

}  // namespace cifs
