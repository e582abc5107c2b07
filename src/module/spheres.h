// The four functions the module exports.
#pragma once

#include <node_api.h>

namespace cifs {

napi_value native_config_sphere(napi_env env, napi_callback_info info);
napi_value cifs_shares_sphere(napi_env env, napi_callback_info info);
napi_value cifs_connections_sphere(napi_env env, napi_callback_info info);
napi_value cifs_contexts_sphere(napi_env env, napi_callback_info info);

napi_value Init(napi_env env, napi_value exports);

}  // namespace cifs
