// JS bindings of the management library's controls besides its sections.
#include <string>

#include "bindings.h"
#include "cifs_sim_status.h"
#include "mgmt_library.h"
#include "napi_check.h"

namespace simctl {
namespace {

napi_value mgmt_reset(napi_env env, napi_callback_info) {
  auto *m = mgmt(env);
  if (!m) return nullptr;
  m->reset();
  return undefined(env);
}

napi_value mgmt_calls(napi_env env, napi_callback_info) {
  auto *m = mgmt(env);
  if (!m) return nullptr;
  array_builder calls(env);
  m->visit_calls(
      [](void *ctx, const char *call, const char *text, const uint8_t *record, size_t length) {
        auto &out = *static_cast<array_builder *>(ctx);
        napi_env e = out.env();
        napi_value entry = new_object(e);
        napi_value bytes = nullptr;
        bool ok = entry != nullptr;
        if (ok && record)
          ok = !failed(e, napi_create_buffer_copy(e, length, record, nullptr, &bytes), "napi_create_buffer_copy");
        else if (ok)
          ok = !failed(e, napi_get_null(e, &bytes), "napi_get_null");
        ok = ok && set(e, entry, "call", make_string(e, call)) && set(e, entry, "text", make_string(e, text)) &&
             set(e, entry, "record", bytes);
        out.push(ok ? entry : nullptr);
      },
      &calls);
  return calls.result();
}

// mgmtFail(call, status, name | undefined, times | undefined)
napi_value mgmt_fail(napi_env env, napi_callback_info info) {
  napi_value argv[4];
  if (!arguments(env, info, argv)) return nullptr;
  auto call = to_string(env, argv[0], "call");
  if (!call) return nullptr;
  auto status = to_integer(env, argv[1], "status", int32_min, int32_max);
  if (!status) return nullptr;
  std::optional<std::string> name = std::string();
  if (!is_nullish(env, argv[2]) && !(name = to_string(env, argv[2], "name"))) return nullptr;
  std::optional<int64_t> times = 0;
  if (!is_nullish(env, argv[3]) && !(times = to_integer(env, argv[3], "times", 0, uint32_max))) return nullptr;
  auto *m = mgmt(env);
  if (!m) return nullptr;
  return answer(env, m->fail(call->c_str(), static_cast<int32_t>(*status), name->c_str(), static_cast<uint32_t>(*times)),
                "cifssim_fail");
}

}  // namespace

const std::vector<binding> mgmt_bindings = {
    {"mgmtReset", mgmt_reset},
    {"mgmtCalls", mgmt_calls},
    {"mgmtFail", mgmt_fail},
};

}  // namespace simctl
