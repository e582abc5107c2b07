#include "identity_model.h"

#include <algorithm>

namespace toralsim {

// Every DN a supervisor whose lookups succeed.
void identity_model::seed() {
  fallback = identity{};
  by_dn.clear();
}

const identity &identity_model::lookup(const std::string &dn) const {
  auto it = by_dn.find(dn);
  return it == by_dn.end() ? fallback : it->second;
}

uint32_t identity_model::sid_number(const std::string &dn) {
  auto it = std::find(sid_owners.begin(), sid_owners.end(), dn);
  if (it != sid_owners.end()) return static_cast<uint32_t>(it - sid_owners.begin());
  sid_owners.push_back(dn);
  return static_cast<uint32_t>(sid_owners.size() - 1);
}

identity_model &model() {
  static identity_model instance;
  return instance;
}

}  // namespace toralsim
