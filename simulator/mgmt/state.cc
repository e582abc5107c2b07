#include "state.h"

namespace cifssim {

void sim_state::reset() {
  data = seed_model();
  failures.clear();
  raw_results.clear();
  kept_records.clear();
  cookies = {};
  calls.clear();
  delay_ms = 0;
}

sim_state &state() {
  static sim_state instance;
  return instance;
}

}  // namespace cifssim
