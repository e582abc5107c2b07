// One-shot raw results: the next call of a list call hands out bytes a test
// made by hand, whatever its request, instead of what the model holds. Every
// list call takes them the same way, so a new record type needs a row in the
// table of out-parameters and nothing else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "share_list.h"

namespace cifssim {

struct sim_state;

enum class out_kind {
  null,        // a null pointer; caller memory is left as it is
  bytes,       // a malloc'd copy of the bytes; caller memory gets them copied in
  share_list,  // a share list block built from slots (share list calls only)
};

struct raw_out {
  out_kind kind = out_kind::null;
  std::vector<uint8_t> content{};  // bytes
  std::vector<raw_slot> slots{};   // share_list
  uint32_t count = 0;              // share_list: what its count field says
};

struct raw_result {
  int32_t status = 0;              // returned after every out-parameter is written
  std::vector<raw_out> outs{};     // one per out-parameter in call order; missing ones are null
  std::optional<std::string> shm_name{};  // an object created first, holding exactly shm_bytes
  std::vector<uint8_t> shm_bytes{};
};

// CIFSSIM_OK, or CIFSSIM_BAD_ARGUMENT (and the result is not taken) when
// `call` takes no raw result, or the result has more outs than the call has
// out-parameters, slots for an out-parameter that is no share list, more bytes
// than caller memory holds, or an object for a call that hands out none, or
// an object name not of the form "/<text>".
int32_t check_raw_result(std::string_view call, const raw_result &raw);

// The raw result queued for `call`, removed from the queue; nothing if none.
std::optional<raw_result> take_raw_result(sim_state &st, std::string_view call);

// Writes the raw result into the call's out-parameters: `destinations` holds,
// in call order, the address of each pointer out-parameter, or the caller
// memory itself. The object is created first; when that fails
// (CIFSSIM_SHM_FAILURE) nothing is written, and when a block cannot be
// allocated (CIFSSIM_OUT_OF_MEMORY) nothing is left behind either.
int32_t hand_out_raw(sim_state &st, std::string_view call, const raw_result &raw,
                     std::initializer_list<void *> destinations);

}  // namespace cifssim
