// Everything the simulated management library holds: the model and the test
// controls around it. One mutex guards it all; calls take it through call_scope.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "model.h"
#include "open_files_result.h"
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
  std::string call;
  std::string text;
  std::optional<bytes> record;
};

// One-shot share list: either a null block or these slots.
struct raw_share_list {
  bool null_block = false;
  std::vector<raw_slot> slots{};
  uint32_t count = 0;
};

struct raw_contexts {
  std::optional<uint32_t> count;
  std::optional<bytes> block;
};

struct sim_state {
  std::mutex mutex;
  model data = seed_model();
  std::vector<failure_rule> failures;
  std::optional<raw_share_list> next_share_list;
  outside_records kept_records;  // records raw lists pointed to outside their blocks
  std::optional<raw_contexts> next_contexts;
  std::optional<raw_open_files> next_open_files;
  cookie_book open_files_cookies;
  std::vector<logged_call> calls;
  uint32_t delay_ms = 0;

  void reset();
};

sim_state &state();

}  // namespace cifssim
