// JS bindings of the connection and invalid users controls of the management
// library. The 64-bit fields take a safe integer or a BigInt and come back as
// BigInts, so no value is rounded on either way.
#include <optional>
#include <string>
#include <vector>

#include "bindings.h"
#include "cifssim_control.h"
#include "mgmt_library.h"
#include "napi_check.h"

namespace simctl {
namespace {

struct connection_controls {
  cifssim_set_connections_fn set_connections;
  cifssim_visit_connections_fn visit_connections;
  cifssim_set_invalid_users_fn set_invalid_users;
  cifssim_visit_invalid_users_fn visit_invalid_users;
};

const connection_controls *controls(napi_env env) {
  static std::optional<connection_controls> bound;
  if (bound) return &*bound;
  connection_controls c{};
  if (!bind_control(env, "cifssim_set_connections", c.set_connections) ||
      !bind_control(env, "cifssim_visit_connections", c.visit_connections) ||
      !bind_control(env, "cifssim_set_invalid_users", c.set_invalid_users) ||
      !bind_control(env, "cifssim_visit_invalid_users", c.visit_invalid_users))
    return nullptr;
  bound = c;
  return &*bound;
}

constexpr int64_t safe_integer = (int64_t{1} << 53) - 1;

// object[key] when present: a safe integer or a BigInt within the field's
// range (signed or not); false with a TypeError pending otherwise.
template <class T>
bool read_wide(napi_env env, napi_value object, const char *key, T &field) {
  constexpr bool is_signed = std::is_signed_v<T>;
  auto value = property(env, object, key);
  if (!value) return !pending(env);
  napi_valuetype type;
  if (failed(env, napi_typeof(env, *value, &type), "napi_typeof")) return false;
  if (type != napi_bigint) {
    auto n = to_integer(env, *value, key, is_signed ? -safe_integer : 0, safe_integer);
    if (n) field = static_cast<T>(*n);
    return n.has_value();
  }
  bool lossless = false;
  if constexpr (is_signed) {
    int64_t n = 0;
    if (!failed(env, napi_get_value_bigint_int64(env, *value, &n, &lossless), "napi_get_value_bigint_int64") &&
        lossless)
      field = n;
  } else {
    uint64_t n = 0;
    if (!failed(env, napi_get_value_bigint_uint64(env, *value, &n, &lossless), "napi_get_value_bigint_uint64") &&
        lossless)
      field = n;
  }
  if (!lossless && !pending(env)) throw_type_error(env, std::string(key) + " does not fit its field");
  return lossless;
}

napi_value big(napi_env env, uint64_t value) {
  napi_value out;
  SIMCTL_CHECK(env, napi_create_bigint_uint64(env, value, &out));
  return out;
}

napi_value big_signed(napi_env env, int64_t value) {
  napi_value out;
  SIMCTL_CHECK(env, napi_create_bigint_int64(env, value, &out));
  return out;
}

// An array of strings when present; its texts stay in `texts`.
bool read_texts(napi_env env, napi_value object, const char *key, std::vector<std::string> &texts) {
  auto value = property(env, object, key);
  if (!value) return !pending(env);
  auto items = elements(env, *value, key);
  if (!items) return false;
  for (napi_value item : *items) {
    auto text = to_string(env, item, key);
    if (!text) return false;
    texts.push_back(std::move(*text));
  }
  return true;
}

napi_value strings(napi_env env, const char *const *texts, size_t count) {
  array_builder out(env);
  for (size_t i = 0; i < count; ++i) out.push(make_string(env, texts[i]));
  return out.result();
}

// The texts of one connection object, owned here until the library copied them.
struct connection_texts {
  std::string user, address, type, status, privileges;
  std::vector<std::string> sevs, mapped;
  std::vector<const char *> sev_pointers, mapped_pointers;
};

bool read_connection(napi_env env, napi_value object, connection_texts &t, cifssim_connection &c) {
  bool encrypted = false;
  const bool ok =
      read_integer(env, object, "connectionNumber", 0, uint16_max, c.number) &&
      read_text(env, object, "userName", t.user, nullptr) && read_text(env, object, "ipAddress", t.address, nullptr) &&
      read_text(env, object, "connectionType", t.type, nullptr) &&
      read_text(env, object, "status", t.status, nullptr) &&
      read_text(env, object, "privileges", t.privileges, nullptr) &&
      read_integer(env, object, "channels", int32_min, int32_max, c.channels) &&
      read_flag(env, object, "isEncrypted", encrypted) &&
      read_integer(env, object, "totalRequests", 0, uint32_max, c.total_requests) &&
      read_wide(env, object, "totalBytesRead", c.total_bytes_read) &&
      read_wide(env, object, "totalBytesWritten", c.total_bytes_written) &&
      read_wide(env, object, "loginTime", c.login_time) && read_texts(env, object, "securityEquivalence", t.sevs) &&
      read_texts(env, object, "mappedShares", t.mapped);
  if (!ok) return false;
  for (const auto &s : t.sevs) t.sev_pointers.push_back(s.c_str());
  for (const auto &s : t.mapped) t.mapped_pointers.push_back(s.c_str());
  c.user_name = t.user.c_str();
  c.client_address = t.address.c_str();
  c.connection_type = t.type.c_str();
  c.status = t.status.c_str();
  c.privileges = t.privileges.c_str();
  c.encrypted = encrypted;
  c.security_equivalences = t.sev_pointers.data();
  c.security_equivalence_count = t.sev_pointers.size();
  c.mapped_shares = t.mapped_pointers.data();
  c.mapped_share_count = t.mapped_pointers.size();
  return true;
}

// mgmtSetConnections([{connectionNumber, userName, ipAddress, ...}])
napi_value set_connections(napi_env env, napi_callback_info info) {
  napi_value argv[1];
  if (!arguments(env, info, argv)) return nullptr;
  auto items = elements(env, argv[0], "connections");
  if (!items) return nullptr;
  std::vector<connection_texts> texts(items->size());
  std::vector<cifssim_connection> connections(items->size());
  for (size_t i = 0; i < items->size(); ++i)
    if (!read_connection(env, (*items)[i], texts[i], connections[i])) return nullptr;
  const auto *c = controls(env);
  if (!c) return nullptr;
  return answer(env, c->set_connections(connections.data(), connections.size()), "cifssim_set_connections");
}

napi_value connections(napi_env env, napi_callback_info) {
  const auto *c = controls(env);
  if (!c) return nullptr;
  array_builder list(env);
  c->visit_connections(
      [](void *ctx, const cifssim_connection *x) {
        auto &out = *static_cast<array_builder *>(ctx);
        napi_env e = out.env();
        napi_value o = new_object(e);
        const bool ok =
            o && set(e, o, "connectionNumber", number(e, x->number)) &&
            set(e, o, "userName", make_string(e, x->user_name)) &&
            set(e, o, "ipAddress", make_string(e, x->client_address)) &&
            set(e, o, "connectionType", make_string(e, x->connection_type)) &&
            set(e, o, "status", make_string(e, x->status)) && set(e, o, "privileges", make_string(e, x->privileges)) &&
            set(e, o, "channels", number(e, x->channels)) && set(e, o, "isEncrypted", boolean(e, x->encrypted)) &&
            set(e, o, "totalRequests", number(e, x->total_requests)) &&
            set(e, o, "totalBytesRead", big(e, x->total_bytes_read)) &&
            set(e, o, "totalBytesWritten", big(e, x->total_bytes_written)) &&
            set(e, o, "loginTime", big(e, x->login_time)) &&
            set(e, o, "securityEquivalence", strings(e, x->security_equivalences, x->security_equivalence_count)) &&
            set(e, o, "mappedShares", strings(e, x->mapped_shares, x->mapped_share_count)) &&
            set(e, o, "openFiles", number(e, x->open_files_count)) &&
            set(e, o, "mappedSharesCount", number(e, x->mapped_shares_count));
        out.push(ok ? o : nullptr);
      },
      &list);
  return list.result();
}

// mgmtSetInvalidUsers([{name, state, clientIPAddress, lastAuthAttemptTime}])
napi_value set_invalid_users(napi_env env, napi_callback_info info) {
  napi_value argv[1];
  if (!arguments(env, info, argv)) return nullptr;
  auto items = elements(env, argv[0], "users");
  if (!items) return nullptr;
  std::vector<std::string> names(items->size()), addresses(items->size());
  std::vector<cifssim_invalid_user> users(items->size());
  for (size_t i = 0; i < items->size(); ++i) {
    napi_value object = (*items)[i];
    bool has_name = false;
    users[i].state = 2;  // a cached invalid user unless the test says otherwise
    if (!read_text(env, object, "name", names[i], &has_name) ||
        !read_integer(env, object, "state", 0, uint32_max, users[i].state) ||
        !read_text(env, object, "clientIPAddress", addresses[i], nullptr) ||
        !read_wide(env, object, "lastAuthAttemptTime", users[i].last_attempt_time))
      return nullptr;
    users[i].name = has_name ? names[i].c_str() : nullptr;
    users[i].client_address = addresses[i].c_str();
  }
  const auto *c = controls(env);
  if (!c) return nullptr;
  return answer(env, c->set_invalid_users(users.data(), users.size()), "cifssim_set_invalid_users");
}

napi_value invalid_users(napi_env env, napi_callback_info) {
  const auto *c = controls(env);
  if (!c) return nullptr;
  array_builder list(env);
  c->visit_invalid_users(
      [](void *ctx, const cifssim_invalid_user *u) {
        auto &out = *static_cast<array_builder *>(ctx);
        napi_env e = out.env();
        napi_value o = new_object(e);
        const bool ok = o && set(e, o, "name", make_string(e, u->name)) && set(e, o, "state", number(e, u->state)) &&
                        set(e, o, "clientIPAddress", make_string(e, u->client_address)) &&
                        set(e, o, "lastAuthAttemptTime", big_signed(e, u->last_attempt_time));
        out.push(ok ? o : nullptr);
      },
      &list);
  return list.result();
}

}  // namespace

const std::vector<binding> connection_bindings = {
    {"mgmtSetConnections", set_connections},
    {"mgmtConnections", connections},
    {"mgmtSetInvalidUsers", set_invalid_users},
    {"mgmtInvalidUsers", invalid_users},
};

}  // namespace simctl
