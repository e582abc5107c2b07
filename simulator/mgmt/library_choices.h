// Where the library's contract leaves a choice to the library, the simulator
// can take each allowed one; by default it takes the one least convenient
// for its caller. Per process: never saved in the state file.
#pragma once

#include <cstdint>

namespace cifssim {

struct library_choices {
  // Listed share records lie in the malloc'd list block after the pointers,
  // rather than each in kept memory of its own.
  bool share_records_inside = false;
  // Connection records lie in the malloc'd list block after its pointer,
  // rather than back to back in kept memory.
  bool connection_records_inside = false;
  // Bytes after the records of a listing's shared memory object, beyond the
  // size its header gives, filled with what looks like more records.
  uint32_t object_slack = 4096;
};

// The most slack a listing's object may carry.
inline constexpr uint32_t object_slack_limit = 64u << 20;

}  // namespace cifssim
