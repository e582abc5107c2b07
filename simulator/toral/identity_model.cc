#include "identity_model.h"

#include <algorithm>

#include "cifs_sim_status.h"

namespace toralsim {

// The two users the documentation names: a supervisor and a user who is
// not one. Any other DN, the empty one included, is unknown: its user info
// lookup fails, as the real library's does for a DN it cannot find.
void identity_model::seed() {
  fallback = identity{.userinfo_status = TORALSIM_NO_SUCH_USER};
  by_dn = {{"cn=admin,o=example", identity{}}, {"cn=guest,o=example", identity{.supervisor = false}}};
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
