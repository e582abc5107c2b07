// Everything the simulated management library holds: the model, the test
// controls around it, and the memory it keeps for what it handed out. One mutex guards it all; calls take it through call_scope.
// With a state file (CIFS_SIM_STATE) taking the mutex also brings the state up
// to date with the file, and releasing it saves what changed (persistence.cc).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "../common/sections.h"
#include "../common/state_file.h"
#include "kept_memory.h"
#include "library_calls.h"
#include "library_choices.h"
#include "model.h"
#include "paging.h"
#include "raw_result.h"
#include "share_list.h"

namespace cifssim {

using bytes = std::vector<uint8_t>;

struct failure_rule {
  std::string call;
  int32_t status;
  std::string name;  // empty: any
  uint32_t times_left;
  bool until_reset;
};

struct logged_call {
  library_call call;
  std::string text;
  std::optional<bytes> record;
};

extern const simstate::section_codec state_codec;

// The longest a library call is made to sleep; the controls refuse more, and
// a state file that holds more is not used.
inline constexpr uint32_t max_delay_ms = 60000;

// What the state file keeps and the controls get and set by section
// (persistence.cc); empty, as a section is read into it.
struct persisted {
  model data{};
  std::vector<failure_rule> failures{};
  cookie_book cookies{};
  uint32_t delay_ms = 0;
};

simstate::section_table<persisted> state_sections();

struct sim_state : persisted {
  sim_state() { data = seed_model(); }

  simstate::persistent_mutex mutex{state_codec};
  std::map<library_call, raw_result> raw_results;  // one per call
  kept_memory kept;              // what was handed out for the caller not to release
  library_choices choices;
  std::optional<uint64_t> shrink_next_object;  // bytes the next listing's object is cut to
  std::vector<logged_call> calls;

  void reset();
};

sim_state &state();

}  // namespace cifssim
