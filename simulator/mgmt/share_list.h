// The share list block of CIFSLIB_ListAllShares and of the mapped shares
// call: a u32 count, then unaligned 8-byte pointers, in one malloc block that
// the caller releases with a single free. The records lie after the pointers
// in the same block, or each in kept memory of its own, which the caller
// never releases.
#pragma once

#include <cstdint>
#include <vector>

#include "kept_memory.h"
#include "model.h"

namespace cifssim {

// Where one pointer slot of a raw list points.
enum class slot_kind {
  null,     // a null pointer
  record,   // a record in the block, after the slots; may be zero bytes long
  outside,  // a record in kept memory, never inside the block
  end,      // the block's end, one past its last byte
};

struct raw_slot {
  slot_kind kind = slot_kind::null;
  std::vector<uint8_t> record{};  // record and outside
};

// The block for the model's shares, their records inside it or apart in
// `kept`; null when memory runs out (pieces already kept stay until reset).
void *build_share_list(const std::vector<share> &shares, bool records_inside, kept_memory &kept);

// A block with `count` in its count field, whatever the number of slots, and
// the slots as given: a count that lies makes the block smaller than the count
// says, as a faulty library would. Null when memory runs out.
void *build_raw_share_list(const std::vector<raw_slot> &slots, uint32_t count, kept_memory &kept);

}  // namespace cifssim
