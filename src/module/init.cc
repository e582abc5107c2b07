#include "base/log.h"
#include "module/spheres.h"

namespace cifs {

napi_value Init(napi_env env, napi_value exports) {
  choose_log_destination();  // once per process, whichever environment loads first
  const napi_property_descriptor properties[] = {
      {"native_config_sphere", nullptr, native_config_sphere, nullptr, nullptr, nullptr, napi_default, nullptr},
      {"cifs_connections_sphere", nullptr, cifs_connections_sphere, nullptr, nullptr, nullptr, napi_default, nullptr},
      {"cifs_shares_sphere", nullptr, cifs_shares_sphere, nullptr, nullptr, nullptr, napi_default, nullptr},
      {"cifs_contexts_sphere", nullptr, cifs_contexts_sphere, nullptr, nullptr, nullptr, napi_default, nullptr},
  };
  // Registration cannot report a failure to anyone; the exports go back as they are.
  (void)napi_define_properties(env, exports, sizeof properties / sizeof properties[0], properties);
  return exports;
}

}  // namespace cifs
