// The share list block of CIFSLIB_ListAllShares: a u32 count, then unaligned
// 8-byte pointers, then the records they point at, all in one malloc block
// that the caller releases with a single free.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model.h"

namespace cifssim {

// Where one pointer slot of a raw list points.
enum class slot_kind {
  null,     // a null pointer
  record,   // a record in the block, after the slots; may be zero bytes long
  outside,  // a record the simulator keeps elsewhere, never inside the block
  end,      // the block's end, one past its last byte
};

struct raw_slot {
  slot_kind kind = slot_kind::null;
  std::vector<uint8_t> record{};  // record and outside
};

// Records kept outside a block; they must outlive every reader of that block.
using outside_records = std::vector<std::unique_ptr<uint8_t[]>>;

// The block for the model's shares, or null when it cannot be allocated.
void *build_share_list(const std::vector<share> &shares);

// A block with `count` in its count field, whatever the number of slots, and
// the slots as given: a count that lies makes the block smaller than the count
// says, as a faulty library would. Records of kind outside are copied into
// `kept`. Null when it cannot be allocated.
void *build_raw_share_list(const std::vector<raw_slot> &slots, uint32_t count, outside_records &kept);

}  // namespace cifssim
