// JS bindings of the identity library's controls besides its section.
#include "bindings.h"
#include "napi_check.h"
#include "toralsim_control.h"

namespace simctl {
namespace {

napi_value identity_reset(napi_env env, napi_callback_info) {
  toralsim_reset();
  return undefined(env);
}

napi_value identity_calls(napi_env env, napi_callback_info) {
  array_builder calls(env);
  toralsim_visit_calls(
      [](void *ctx, const char *call, const char *text, uint32_t capacity) {
        auto &out = *static_cast<array_builder *>(ctx);
        napi_env e = out.env();
        napi_value entry = new_object(e);
        napi_value number = nullptr;
        if (entry && !failed(e, napi_create_uint32(e, capacity, &number), "napi_create_uint32") &&
            set(e, entry, "call", make_string(e, call)) && set(e, entry, "text", make_string(e, text)) &&
            set(e, entry, "capacity", number))
          out.push(entry);
        else
          out.push(nullptr);
      },
      &calls);
  return calls.result();
}

}  // namespace

const std::vector<binding> identity_bindings = {
    {"identityReset", identity_reset},
    {"identityCalls", identity_calls},
};

}  // namespace simctl
