// The functions each binding file contributes to the control addon's exports.
#pragma once

#include <node_api.h>

#include <vector>

namespace simctl {

struct binding {
  const char *name;
  napi_callback function;
};

extern const std::vector<binding> identity_bindings;
extern const std::vector<binding> mgmt_bindings;
extern const std::vector<binding> section_bindings;
extern const std::vector<binding> shm_bindings;
extern const std::vector<binding> raw_result_bindings;
extern const std::vector<binding> choices_bindings;

}  // namespace simctl
