#include "state.h"

namespace cifssim {

void sim_state::reset() {
  data = seed_model();
  failures.clear();
  next_share_list.reset();
  kept_records.clear();
  next_contexts.reset();
  next_open_files.reset();
  open_files_cookies = {};
  calls.clear();
  delay_ms = 0;
}

sim_state &state() {
  static sim_state instance;
  return instance;
}

}  // namespace cifssim
