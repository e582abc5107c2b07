// The connection list block of CIFSLIB_GetConnectionsList: a u32 count, four
// bytes nobody reads, then a pointer to the 418-byte records back to back.
// The block is malloc'd (the caller frees it); the records lie in it right
// after the pointer, or apart in kept memory, which the caller never frees.
#pragma once

#include <cstdint>
#include <span>

#include "kept_memory.h"
#include "model.h"

namespace cifssim {

enum class records_place { inside, apart, null };

// The block for every connection of the model, each record written straight
// where it is handed out; null when memory runs out.
void *build_connection_list(const model &m, bool records_inside, kept_memory &kept);

// A block with `count` in its count field and `records` placed as asked (a
// null pointer for records_place::null), whatever the count says.
void *build_raw_connection_list(std::span<const uint8_t> records, uint32_t count, records_place place,
                                kept_memory &kept);

}  // namespace cifssim
