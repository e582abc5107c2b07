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

#include "connection_list.h"
#include "library_calls.h"
#include "share_list.h"
#include "shm_objects.h"

namespace cifssim {

struct sim_state;

enum class out_kind {
  null,             // a null pointer; caller memory is left as it is
  bytes,            // the bytes: a malloc'd or kept copy, or copied into caller memory
  share_list,       // a share list block built from slots (share list calls only)
  connection_list,  // a connection list block around records (the connections list only)
};

struct raw_out {
  out_kind kind = out_kind::null;
  std::vector<uint8_t> content{};  // bytes; connection_list: the records
  std::vector<raw_slot> slots{};   // share_list
  uint32_t count = 0;              // share_list, connection_list: what the count field says
  records_place place = records_place::apart;  // connection_list
};

// An entry created under a name before the out-parameters are written.
struct raw_shm {
  std::string name;
  std::vector<uint8_t> bytes{};
  shm_kind kind = shm_kind::object;
  std::optional<uint64_t> size{};  // object only: cut or grown to this after it is filled
};

struct raw_result {
  int32_t status = 0;              // returned after every out-parameter is written
  std::vector<raw_out> outs{};     // one per out-parameter in call order; missing ones are null
  std::optional<raw_shm> shm{};
};

// CIFSSIM_OK, or CIFSSIM_BAD_ARGUMENT (and the result is not taken) when
// `call` takes no raw result, or the result has more outs than the call has
// out-parameters, a form that does not fit its out-parameter, more bytes than
// caller memory holds, an object for a call that hands out none, an object
// name not of the form "/<text>", or, for the two listings, a failing status
// with any out or object: a failing listing hands out nothing.
int32_t check_raw_result(library_call call, const raw_result &raw);

// The raw result queued for `call`, removed from the queue; nothing if none.
std::optional<raw_result> take_raw_result(sim_state &st, library_call call);

// Writes the raw result into the call's out-parameters: `destinations` holds,
// in call order, the address of each pointer out-parameter, or the caller
// memory itself. The object is created first; when that fails
// (CIFSSIM_SHM_FAILURE) nothing is written, and when a block cannot be
// allocated (CIFSSIM_OUT_OF_MEMORY) no block or object is left behind either.
int32_t hand_out_raw(sim_state &st, library_call call, const raw_result &raw,
                     std::initializer_list<void *> destinations);

}  // namespace cifssim
