// State of the simulated identity library: per-DN behaviour, the DNs it has
// handed out SIDs for, and the call log. One mutex guards all of it.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "../common/state_file.h"
#include "toralsim_control.h"

namespace toralsim {

struct logged_call {
  std::string call;
  std::string text;
  uint32_t capacity;
};

// With a state file (CIFS_SIM_STATE) the mutex reloads and saves the per-DN
// entries (identity_persistence.cc).
extern const simstate::section_codec identity_codec;

struct identity_model {
  simstate::persistent_mutex mutex{identity_codec};
  toralsim_identity fallback = reset_values();
  std::map<std::string, toralsim_identity> by_dn;
  // A SID carries an index into this list; it only grows, so a SID stays
  // resolvable across resets.
  std::vector<std::string> sid_owners;
  std::vector<logged_call> calls;

  static toralsim_identity reset_values();
  const toralsim_identity &lookup(const std::string &dn) const;
  uint32_t sid_number(const std::string &dn);
};

identity_model &model();

}  // namespace toralsim
