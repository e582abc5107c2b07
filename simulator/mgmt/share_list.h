// The share list block of CIFSLIB_ListAllShares: a u32 count, then unaligned
// 8-byte pointers, then the records they point at, all in one malloc block
// that the caller releases with a single free.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model.h"

namespace cifssim {

// The block for the model's shares, or null when it cannot be allocated.
void *build_share_list(const std::vector<share> &shares);

// A block with `count` in its count field, whatever the number of records, and
// one pointer slot per record (null for a nullopt one): a count that lies makes
// the block smaller than the count says, as a faulty library would. Null when
// it cannot be allocated.
void *build_raw_share_list(const std::vector<std::optional<std::vector<uint8_t>>> &records, uint32_t count);

}  // namespace cifssim
