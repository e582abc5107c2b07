// State of the simulated identity library: per-DN behaviour, the DNs it has
// handed out SIDs for, and the call log. One mutex guards all of it.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "../common/sections.h"
#include "../common/state_file.h"

namespace toralsim {

// How the library treats one DN; the defaults make a supervisor whose
// lookups all succeed.
struct identity {
  int32_t user_type = 1;        // 1: SEV list looked up by UTF-16 name, anything else by SID
  bool supervisor = true;       // the SEV calls report a supervisor
  int32_t userinfo_status = 0;  // returned by torallib_get_userinfo_from_name
  int32_t sev_status = 0;       // returned by torallib_get_sevlist_from_name
  uint32_t needed_capacity = 0; // entries the name lookup needs; a smaller capacity gets -9009
  bool always_too_small = false;  // the name lookup answers -9009 every time
  int32_t sid_status = 0;       // returned by torallib_get_sevlist_from_sid
};

// What the state file keeps and the controls get and set (identity_persistence.cc).
struct identity_entries {
  identity fallback{};  // every DN without an entry of its own
  std::map<std::string, identity> by_dn{};
};

simstate::section_table<identity_entries> identity_sections();

struct logged_call {
  std::string call;
  std::string text;
  uint32_t capacity;
};

// With a state file (CIFS_SIM_STATE) the mutex reloads and saves the per-DN
// entries.
extern const simstate::section_codec identity_codec;

struct identity_model : identity_entries {
  identity_model() { seed(); }

  simstate::persistent_mutex mutex{identity_codec};
  // A SID carries an index into this list; it only grows, so a SID stays
  // resolvable across resets.
  std::vector<std::string> sid_owners;
  std::vector<logged_call> calls;

  void seed();
  const identity &lookup(const std::string &dn) const;
  uint32_t sid_number(const std::string &dn);
};

identity_model &model();

}  // namespace toralsim
