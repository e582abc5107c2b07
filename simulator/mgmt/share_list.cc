#include "share_list.h"

#include <cstdlib>
#include <cstring>

#include "malloc_block.h"
#include "share_record_codec.h"
#include "wire_layout.h"

static_assert(sizeof(void *) == cifssim::wire::share_list::pointer_size, "list pointers are stored as they are");

namespace cifssim {

void *build_raw_share_list(const std::vector<raw_slot> &slots, uint32_t count, outside_records &kept) {
  const size_t records_at = wire::share_list::pointers + slots.size() * wire::share_list::pointer_size;
  size_t size = records_at;
  for (const auto &s : slots)
    if (s.kind == slot_kind::record) size += s.record.size();

  auto *block = static_cast<uint8_t *>(malloc_block(size));
  if (!block) return nullptr;
  std::memset(block, 0, size);
  std::memcpy(block, &count, sizeof count);
  uint8_t *next_record = block + records_at;
  for (size_t i = 0; i < slots.size(); ++i) {
    const raw_slot &s = slots[i];
    const void *pointer = nullptr;
    switch (s.kind) {
      case slot_kind::null: break;
      case slot_kind::record:
        // A zero-length record points where the next one begins, or at the end.
        pointer = next_record;
        if (!s.record.empty()) std::memcpy(next_record, s.record.data(), s.record.size());
        next_record += s.record.size();
        break;
      case slot_kind::outside: {
        auto copy = std::make_unique<uint8_t[]>(s.record.size() + 1);  // never zero bytes: a distinct address
        if (!s.record.empty()) std::memcpy(copy.get(), s.record.data(), s.record.size());
        pointer = copy.get();
        kept.push_back(std::move(copy));
        break;
      }
      case slot_kind::end: pointer = block + size; break;
    }
    std::memcpy(block + wire::share_list::pointers + i * wire::share_list::pointer_size, &pointer, sizeof pointer);
  }
  return block;
}

void *build_share_list(const std::vector<share> &shares) {
  std::vector<raw_slot> slots;
  slots.reserve(shares.size());
  for (const auto &s : shares) slots.push_back({slot_kind::record, listed_record(s)});
  outside_records none;
  return build_raw_share_list(slots, static_cast<uint32_t>(shares.size()), none);
}

}  // namespace cifssim
