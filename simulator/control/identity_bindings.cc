// JS bindings of the identity library's controls.
#include <limits>

#include "bindings.h"
#include "napi_check.h"
#include "toralsim_control.h"

namespace simctl {
namespace {

constexpr int64_t int32_min = std::numeric_limits<int32_t>::min();
constexpr int64_t int32_max = std::numeric_limits<int32_t>::max();
constexpr int64_t uint32_max = std::numeric_limits<uint32_t>::max();

// Omitted fields keep the library's reset values.
bool read_identity(napi_env env, napi_value fields, toralsim_identity &id) {
  bool supervisor = id.supervisor != 0;
  bool always_too_small = id.always_too_small != 0;
  if (!read_integer(env, fields, "userType", int32_min, int32_max, id.user_type) ||
      !read_flag(env, fields, "supervisor", supervisor) ||
      !read_integer(env, fields, "userinfoStatus", int32_min, int32_max, id.userinfo_status) ||
      !read_integer(env, fields, "sevStatus", int32_min, int32_max, id.sev_status) ||
      !read_integer(env, fields, "neededCapacity", 0, uint32_max, id.needed_capacity) ||
      !read_flag(env, fields, "alwaysTooSmall", always_too_small) ||
      !read_integer(env, fields, "sidStatus", int32_min, int32_max, id.sid_status))
    return false;
  id.supervisor = supervisor;
  id.always_too_small = always_too_small;
  return true;
}

// identitySet(dn | undefined, fields)
napi_value identity_set(napi_env env, napi_callback_info info) {
  size_t argc = 2;
  napi_value argv[2];
  SIMCTL_CHECK(env, napi_get_cb_info(env, info, &argc, argv, nullptr, nullptr));
  std::optional<std::string> dn;
  if (argc > 0 && !is_nullish(env, argv[0]) && !(dn = to_string(env, argv[0], "dn"))) return nullptr;
  toralsim_identity id;
  toralsim_reset_identity(&id);
  if (argc > 1 && !is_nullish(env, argv[1]) && !read_identity(env, argv[1], id)) return nullptr;
  toralsim_set_identity(dn ? dn->c_str() : nullptr, &id);
  return undefined(env);
}

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

// identityEntries() -> [{dn (absent for the default entry), userType, supervisor, ...}]
napi_value identity_entries(napi_env env, napi_callback_info) {
  array_builder entries(env);
  toralsim_visit_identities(
      [](void *ctx, const char *dn, const toralsim_identity *id) {
        auto &out = *static_cast<array_builder *>(ctx);
        napi_env e = out.env();
        napi_value entry = new_object(e);
        const bool ok = entry && (!dn || set(e, entry, "dn", make_string(e, dn))) &&
                        set(e, entry, "userType", number(e, id->user_type)) &&
                        set(e, entry, "supervisor", boolean(e, id->supervisor != 0)) &&
                        set(e, entry, "userinfoStatus", number(e, id->userinfo_status)) &&
                        set(e, entry, "sevStatus", number(e, id->sev_status)) &&
                        set(e, entry, "neededCapacity", number(e, id->needed_capacity)) &&
                        set(e, entry, "alwaysTooSmall", boolean(e, id->always_too_small != 0)) &&
                        set(e, entry, "sidStatus", number(e, id->sid_status));
        out.push(ok ? entry : nullptr);
      },
      &entries);
  return entries.result();
}

}  // namespace

const std::vector<binding> identity_bindings = {
    {"identityEntries", identity_entries},
    {"identitySet", identity_set},
    {"identityReset", identity_reset},
    {"identityCalls", identity_calls},
};

}  // namespace simctl
