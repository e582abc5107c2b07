// The connection list block: a total count, four unread bytes, then the
// address of the records, which lie inside the block or wherever the library
// keeps them. Every record the reader allows is copied out, as the executor
// does, so ASan stands guard at the block's ends; records apart from the
// block lie in an area that holds the most the reader ever trusts.
//
// Input: u8 block length (mod 64, plus 16 records of room) | u8 pointer kind
// (mod 4: null, inside the block at a u16 offset mod its size plus one, apart
// at a u16 offset, any value below 16) | u32 total count | the rest: the
// block's bytes past its first 16.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_input.h"
#include "wire/connection_list.h"
#include "wire/connection_records.h"
#include "wire/library_limits.h"

namespace {

constexpr size_t record_size = sizeof(cifs::connection_record);

const std::vector<uint8_t> &apart_area() {
  static const std::vector<uint8_t> area(cifs::connection_list_max_records * record_size + 65536, 0x5A);
  return area;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::input in(data, size);
  const size_t block_size = in.byte() % 64 + (in.byte() % 2 ? 16 * record_size : 0);
  const uint8_t kind = in.byte() % 4;
  const uint16_t operand = in.value<uint16_t>();
  const uint32_t total = in.value<uint32_t>();
  const auto rest = in.rest();

  auto *block = static_cast<uint8_t *>(std::malloc(block_size ? block_size : 1));
  FUZZ_CHECK(block != nullptr);
  std::memset(block, 0xA5, block_size);
  const auto begin = reinterpret_cast<uintptr_t>(block);
  uintptr_t records = 0;
  switch (kind) {
    case 1: records = begin + operand % (block_size + 1); break;
    case 2: records = reinterpret_cast<uintptr_t>(apart_area().data()) + operand; break;
    case 3: records = operand % 16; break;
    default: break;
  }
  if (block_size >= 4) std::memcpy(block, &total, 4);
  if (block_size >= 16) {
    std::memcpy(block + 8, &records, 8);
    std::memcpy(block + 16, rest.data(), std::min(rest.size(), block_size - 16));
  }
  // Too short for the pointer: the reader must see none.
  if (block_size < 16) records = 0;

  const cifs::connection_list_view view = cifs::read_connection_list(cifs::byte_reader(block, block_size));
  FUZZ_CHECK(view.total == (block_size >= 4 ? total : 0));
  const bool inside = records >= begin && records - begin <= block_size;
  if (records == 0) {
    // No pointer is worth a note only when the count promises records.
    FUZZ_CHECK(view.readable == 0 && view.note == (view.total != 0 ? cifs::connection_list_note::no_records_pointer
                                                                    : cifs::connection_list_note::none));
  } else if (inside) {
    const size_t held = (block_size - (records - begin)) / record_size;
    FUZZ_CHECK(view.readable == std::min<size_t>(total, held));
    FUZZ_CHECK((view.note == cifs::connection_list_note::block_holds_fewer) == (total > held));
  } else if (kind == 2) {
    FUZZ_CHECK(view.readable == std::min(total, cifs::connection_list_max_records));
    FUZZ_CHECK((view.note == cifs::connection_list_note::above_limit) == (total > cifs::connection_list_max_records));
  }
  // Low addresses are no memory at all: only the pointer kinds above are read.
  cifs::connection_record copy;
  if (kind == 1)
    for (uint32_t i = 0; i < view.readable; ++i) std::memcpy(&copy, view.records + size_t{i} * record_size, sizeof copy);
  if (kind == 2 && view.readable > 0)  // the area is big enough for all; the last one proves it
    std::memcpy(&copy, view.records + size_t{view.readable - 1} * record_size, sizeof copy);
  std::free(block);
  return 0;
}
