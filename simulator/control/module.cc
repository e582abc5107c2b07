// Entry of simctl.node, the test-only control addon of the simulated platform libraries.
#include <utility>

#include "bindings.h"
#include "cifs_sim_status.h"
#include "napi_check.h"

namespace simctl {
namespace {

napi_value status_table(napi_env env, std::initializer_list<std::pair<const char *, int32_t>> rows) {
  napi_value table = new_object(env);
  if (!table) return nullptr;
  for (const auto &[name, code] : rows) {
    napi_value value;
    SIMCTL_CHECK(env, napi_create_int32(env, code, &value));
    if (!set(env, table, name, value)) return nullptr;
  }
  return table;
}

// statusCodes() -> { mgmt: {NAME: code}, identity: {NAME: code} }, from the status header.
napi_value status_codes(napi_env env, napi_callback_info) {
  napi_value codes = new_object(env);
  napi_value mgmt = status_table(env, {{"OK", CIFSSIM_OK},
                                       {"NO_SUCH_SHARE", CIFSSIM_NO_SUCH_SHARE},
                                       {"NO_SUCH_CONTEXT", CIFSSIM_NO_SUCH_CONTEXT},
                                       {"OUT_OF_MEMORY", CIFSSIM_OUT_OF_MEMORY},
                                       {"NULL_ARGUMENT", CIFSSIM_NULL_ARGUMENT},
                                       {"NAME_TAKEN", CIFSSIM_NAME_TAKEN},
                                       {"SHARE_EXISTS", CIFSSIM_SHARE_EXISTS},
                                       {"CONTEXT_EXISTS", CIFSSIM_CONTEXT_EXISTS},
                                       {"NO_SUCH_VOLUME", CIFSSIM_NO_SUCH_VOLUME},
                                       {"BAD_RECORD", CIFSSIM_BAD_RECORD},
                                       {"EMPTY_CONTEXT", CIFSSIM_EMPTY_CONTEXT},
                                       {"BAD_ARGUMENT", CIFSSIM_BAD_ARGUMENT},
                                       {"NO_SUCH_OPEN_FILE", CIFSSIM_NO_SUCH_OPEN_FILE},
                                       {"SHM_FAILURE", CIFSSIM_SHM_FAILURE},
                                       {"BAD_REQUEST", CIFSSIM_BAD_REQUEST},
                                       {"BAD_FILTER", CIFSSIM_BAD_FILTER},
                                       {"BAD_COOKIE", CIFSSIM_BAD_COOKIE},
                                       {"BAD_CONNECTION_NUMBER", CIFSSIM_BAD_CONNECTION_NUMBER},
                                       {"NO_SUCH_CONNECTION", CIFSSIM_NO_SUCH_CONNECTION},
                                       {"BAD_USER_NAME", CIFSSIM_BAD_USER_NAME},
                                       {"NO_SUCH_USER", CIFSSIM_NO_SUCH_USER},
                                       {"ALREADY_BLOCKED", CIFSSIM_ALREADY_BLOCKED},
                                       {"NOT_IMPLEMENTED", CIFSSIM_NOT_IMPLEMENTED}});
  napi_value identity = status_table(env, {{"OK", TORALSIM_OK},
                                           {"BUFFER_TOO_SMALL", TORALSIM_BUFFER_TOO_SMALL},
                                           {"BAD_ARGUMENT", TORALSIM_BAD_ARGUMENT},
                                           {"UNKNOWN_SID", TORALSIM_UNKNOWN_SID},
                                           {"OUT_OF_MEMORY", TORALSIM_OUT_OF_MEMORY},
                                           {"NO_SUCH_USER", TORALSIM_NO_SUCH_USER}});
  if (!codes || !set(env, codes, "mgmt", mgmt) || !set(env, codes, "identity", identity)) return nullptr;
  return codes;
}

napi_value init(napi_env env, napi_value exports) {
  std::vector<binding> all = {{"statusCodes", status_codes}};
  all.insert(all.end(), identity_bindings.begin(), identity_bindings.end());
  all.insert(all.end(), mgmt_bindings.begin(), mgmt_bindings.end());
  all.insert(all.end(), section_bindings.begin(), section_bindings.end());
  all.insert(all.end(), shm_bindings.begin(), shm_bindings.end());
  all.insert(all.end(), raw_result_bindings.begin(), raw_result_bindings.end());
  all.insert(all.end(), choices_bindings.begin(), choices_bindings.end());
  for (const auto &b : all) {
    napi_value function;
    SIMCTL_CHECK(env, napi_create_function(env, b.name, NAPI_AUTO_LENGTH, b.function, nullptr, &function));
    if (!set(env, exports, b.name, function)) return nullptr;
  }
  return exports;
}

}  // namespace
}  // namespace simctl

NAPI_MODULE(NODE_GYP_MODULE_NAME, simctl::init)
