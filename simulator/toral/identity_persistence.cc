// The identity library's section of the state file: how each DN is treated
// (supervisor or not, which statuses its lookups answer). The SIDs handed out
// and the call log stay with the process.
#include <map>
#include <tuple>

#include "../common/state_file.h"
#include "identity_model.h"

namespace toralsim {
namespace {

template <class I>
auto identity_members(I &i) {
  return std::tie(i.user_type, i.supervisor, i.userinfo_status, i.sev_status, i.needed_capacity, i.always_too_small,
                  i.sid_status);
}

std::string save_identities() {
  const identity_model &m = model();
  std::string out = simstate::tagged_line("default", identity_members(m.fallback));
  for (const auto &[dn, identity] : m.by_dn)
    out += simstate::tagged_line("dn", std::tuple_cat(std::tie(dn), identity_members(identity)));
  return out;
}

// The controls store the two flags as 0 or 1, and nothing else is taken from a file.
bool as_controls_allow(const toralsim_identity &i) { return i.supervisor <= 1 && i.always_too_small <= 1; }

bool load_identities(std::string_view lines) {
  toralsim_identity fallback = identity_model::reset_values();
  std::map<std::string, toralsim_identity> by_dn;
  const bool readable = simstate::read_lines(lines, [&](const std::vector<std::string> &f) {
    if (f[0] == "default") return simstate::read_members(f, 1, identity_members(fallback)) && as_controls_allow(fallback);
    std::string dn;
    toralsim_identity identity{};
    if (f[0] != "dn" || !simstate::read_members(f, 1, std::tuple_cat(std::tie(dn), identity_members(identity))) ||
        !as_controls_allow(identity))
      return false;
    by_dn[dn] = identity;
    return true;
  });
  if (!readable) return false;
  identity_model &m = model();
  m.fallback = fallback;
  m.by_dn = std::move(by_dn);
  return true;
}

}  // namespace

const simstate::section_codec identity_codec{"identity", save_identities, load_identities};

}  // namespace toralsim
