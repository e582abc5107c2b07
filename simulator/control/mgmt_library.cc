#include "mgmt_library.h"

#include <dlfcn.h>

#include <optional>
#include <string>

namespace simctl {
namespace {

constexpr const char *library_name = "libcifsmgmtclient.so";

template <class Fn>
bool bind(napi_env env, void *handle, const char *symbol, Fn *out) {
  dlerror();
  void *address = dlsym(handle, symbol);
  if (const char *error = dlerror()) {
    napi_throw_error(env, nullptr, (std::string("simctl: ") + symbol + ": " + error).c_str());
    return false;
  }
  *out = reinterpret_cast<Fn>(address);
  return true;
}

}  // namespace

const mgmt_controls *mgmt(napi_env env) {
  static std::optional<mgmt_controls> bound;
  if (bound) return &*bound;

  dlerror();
  // Never closed: the addon under test holds the same instance for the process's life.
  void *handle = dlopen(library_name, RTLD_NOW);
  if (!handle) {
    const char *error = dlerror();
    napi_throw_error(env, nullptr,
                     (std::string("simctl: cannot open ") + library_name + ": " + (error ? error : "?")).c_str());
    return nullptr;
  }
  mgmt_controls c{};
  if (!bind(env, handle, "cifssim_reset", &c.reset) || !bind(env, handle, "cifssim_section", &c.section) ||
      !bind(env, handle, "cifssim_set_section", &c.set_section) || !bind(env, handle, "cifssim_fail", &c.fail) ||
      !bind(env, handle, "cifssim_visit_calls", &c.visit_calls))
    return nullptr;
  bound = c;
  return &*bound;
}

void *mgmt_symbol(napi_env env, const char *symbol) {
  if (!mgmt(env)) return nullptr;
  // The library is loaded now, so this only finds the same instance again;
  // the extra reference is never dropped, like the first.
  void *handle = dlopen(library_name, RTLD_NOW | RTLD_NOLOAD);
  if (!handle) {
    napi_throw_error(env, nullptr, (std::string("simctl: ") + library_name + " is not loaded").c_str());
    return nullptr;
  }
  void *address = nullptr;
  return bind(env, handle, symbol, &address) ? address : nullptr;
}

}  // namespace simctl
