// Reading the connection list block of the management library: a u32 total
// count, four unread bytes, then a pointer to the records, which lie back to
// back wherever it points. Records inside the block must fit in it; records
// apart from it are the library's own memory, read for the total count up to
// connection_list_max_records. Pure code: no Node-API.
#pragma once

#include <cstdint>

#include "base/byte_reader.h"

namespace cifs {

// What a log line should say about the block.
enum class connection_list_note : uint8_t {
  none,
  no_records_pointer,  // the pointer is null, or the block is too short to hold one
  block_holds_fewer,   // the records lie inside the block, and fewer fit than the count claims
  above_limit,         // the records lie apart, and the count is above connection_list_max_records
};

struct connection_list_view {
  const uint8_t *records = nullptr;  // null when there is nothing to read
  uint32_t total = 0;                // the count the block claims
  uint32_t readable = 0;             // records that may be read from `records`
  connection_list_note note = connection_list_note::none;
};

// `block` views the whole block (its extent from the allocator: the module
// releases it with free).
connection_list_view read_connection_list(const byte_reader &block);

}  // namespace cifs
