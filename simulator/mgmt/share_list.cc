#include "share_list.h"

#include <cstdlib>

#include "byte_order.h"
#include "malloc_block.h"
#include "share_record_codec.h"
#include "wire_layout.h"

namespace cifssim {

namespace layout = wire::share_list;

void *build_raw_share_list(const std::vector<raw_slot> &slots, uint32_t count, kept_memory &kept) {
  const size_t records_at = layout::pointers + slots.size() * layout::pointer_size;
  size_t size = records_at;
  for (const auto &s : slots)
    if (s.kind == slot_kind::record) size += s.record.size();

  auto *block = static_cast<uint8_t *>(malloc_block(size));
  if (!block) return nullptr;
  byte_writer w(block, size);
  w.u32(layout::count, count);
  size_t next_record = records_at;
  for (size_t i = 0; i < slots.size(); ++i) {
    const raw_slot &s = slots[i];
    const void *pointer = nullptr;
    switch (s.kind) {
      case slot_kind::null: break;
      case slot_kind::record:
        // A zero-length record points where the next one begins, or at the end.
        pointer = block + next_record;
        w.bytes(next_record, s.record);
        next_record += s.record.size();
        break;
      case slot_kind::outside:
        pointer = kept.copy(s.record);
        if (!pointer) {
          std::free(block);
          return nullptr;
        }
        break;
      case slot_kind::end: pointer = block + size; break;
    }
    w.pointer(layout::pointers + i * layout::pointer_size, pointer);
  }
  return block;
}

void *build_share_list(const std::vector<share> &shares, bool records_inside, kept_memory &kept) {
  std::vector<raw_slot> slots;
  slots.reserve(shares.size());
  const slot_kind kind = records_inside ? slot_kind::record : slot_kind::outside;
  for (const auto &s : shares) slots.push_back({kind, listed_record(s)});
  return build_raw_share_list(slots, static_cast<uint32_t>(shares.size()), kept);
}

}  // namespace cifssim
