#include "connection_list.h"

#include <cstdlib>

#include "byte_order.h"
#include "connection_record.h"
#include "malloc_block.h"
#include "wire_layout.h"

namespace cifssim {
namespace {

namespace layout = wire::connection_list;

// Not zero, so a caller that takes these bytes for part of the count or the
// pointer reads nonsense.
constexpr uint8_t unread_filler = 0xA5;

// The block with its count and filler, room for `inside_bytes` after the
// pointer, and the pointer set to `records` (or to that room when null).
uint8_t *list_block(uint32_t count, size_t inside_bytes, const uint8_t *records) {
  auto *block = static_cast<uint8_t *>(malloc_block(layout::block_size + inside_bytes));
  if (!block) return nullptr;
  byte_writer w(block, layout::block_size);
  w.u32(layout::count, count);
  w.fill(layout::unread, layout::records - layout::unread, unread_filler);
  w.pointer(layout::records, records ? records : block + layout::block_size);
  return block;
}

}  // namespace

void *build_connection_list(const model &m, bool records_inside, kept_memory &kept) {
  const auto count = static_cast<uint32_t>(m.connections.size());
  const size_t records_size = size_t{count} * wire::connection::record_size;
  uint8_t *apart = records_inside ? nullptr : kept.allocate(records_size);
  if (!records_inside && !apart) return nullptr;
  uint8_t *block = list_block(count, records_inside ? records_size : 0, apart);
  if (!block) return nullptr;
  uint8_t *at = records_inside ? block + layout::block_size : apart;
  for (const auto &c : m.connections) {
    write_connection_record(m, c, at);
    at += wire::connection::record_size;
  }
  return block;
}

void *build_raw_connection_list(std::span<const uint8_t> records, uint32_t count, records_place place,
                                kept_memory &kept) {
  const uint8_t *apart = nullptr;
  if (place == records_place::apart && !(apart = kept.copy(records))) return nullptr;
  const size_t inside_bytes = place == records_place::inside ? records.size() : 0;
  uint8_t *block = list_block(count, inside_bytes, apart);
  if (!block) return nullptr;
  if (place == records_place::null) byte_writer(block, layout::block_size).pointer(layout::records, nullptr);
  if (inside_bytes) byte_writer(block + layout::block_size, inside_bytes).bytes(0, records);
  return block;
}

}  // namespace cifssim
