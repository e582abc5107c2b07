#include "state.h"

namespace cifssim {

void sim_state::reset() {
  data = seed_model();
  failures.clear();
  raw_results.clear();
  kept.release_all();
  choices = {};
  shrink_next_object.reset();
  cookies = {};
  calls.clear();
  delay_ms = 0;
}

sim_state &state() {
  static sim_state instance;
  return instance;
}

}  // namespace cifssim
