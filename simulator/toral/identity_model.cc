#include "identity_model.h"

#include <algorithm>

namespace toralsim {

toralsim_identity identity_model::reset_values() {
  return toralsim_identity{
      .user_type = 1,
      .supervisor = 1,
      .userinfo_status = 0,
      .sev_status = 0,
      .needed_capacity = 0,
      .always_too_small = 0,
      .sid_status = 0,
  };
}

const toralsim_identity &identity_model::lookup(const std::string &dn) const {
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
