// The control functions of the simulated management library, bound from the
// same instance the addon under test opens through the library search path.
#pragma once

#include <node_api.h>

#include "cifssim_control.h"

namespace simctl {

struct mgmt_controls {
  cifssim_reset_fn reset;
  cifssim_section_fn section;
  cifssim_set_section_fn set_section;
  cifssim_fail_fn fail;
  cifssim_visit_calls_fn visit_calls;
};

// Opens the library on first use; null with a JS error pending while it
// cannot be opened, so a later call may still succeed.
const mgmt_controls *mgmt(napi_env env);

// Any other symbol of that instance, for controls bound in files of their
// own; null with a JS error pending when the library or the symbol is missing.
void *mgmt_symbol(napi_env env, const char *symbol);

// mgmt_symbol into a function pointer of its declared type.
template <class Fn>
bool bind_control(napi_env env, const char *symbol, Fn &out) {
  void *address = mgmt_symbol(env, symbol);
  out = reinterpret_cast<Fn>(address);
  return address != nullptr;
}

}  // namespace simctl
