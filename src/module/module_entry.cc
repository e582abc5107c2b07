// The addon's entry points, looked up by Node.js when it loads cifs.node.
#include <node_api.h>

#include "module/spheres.h"

extern "C" {

NAPI_MODULE_EXPORT int32_t node_api_module_get_api_version_v1(void) { return NAPI_VERSION; }

NAPI_MODULE_EXPORT napi_value napi_register_module_v1(napi_env env, napi_value exports) {
  return cifs::Init(env, exports);
}

}
