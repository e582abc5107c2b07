// The share list walker over a real block in malloc'd memory, with pointer
// slots derived from the input so the walker meets every shape that matters:
// records anywhere inside the block (the slot array included), the block's
// end, just outside it, null, and any value at all.
//
// Input: u32 count field | u8 slot count (mod 17) | per slot a u8 kind (mod 5)
// and its operand: 0 null; 1 u16 offset into the block (mod its size); 2 the
// block's end; 3 u8 distance before (even) or past (odd) the block; 4 eight
// bytes taken as the pointer | the rest: record bytes laid after the slots.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "mgmtclient/share_records.h"
#include "values/library_buffer.h"

namespace {

// A text the walker hands out lies in the block and ends with a NUL there.
void check_text(std::string_view text, uintptr_t begin, uintptr_t end) {
  if (text.data() == nullptr) {
    FUZZ_CHECK(text.empty());
    return;
  }
  const auto at = reinterpret_cast<uintptr_t>(text.data());
  FUZZ_CHECK(at >= begin && at + text.size() < end);
  FUZZ_CHECK(text.data()[text.size()] == '\0');
}

uintptr_t slot_address(uint8_t kind, uint64_t operand, uintptr_t begin, size_t size) {
  switch (kind) {
    case 1: return begin + operand % size;
    case 2: return begin + size;
    case 3: return operand & 1 ? begin + size + 1 + (operand >> 1) : begin - 1 - (operand >> 1);
    case 4: return static_cast<uintptr_t>(operand);
    default: return 0;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::input in(data, size);
  const uint32_t count = in.value<uint32_t>();
  const size_t slots = in.byte() % 17;
  std::vector<std::pair<uint8_t, uint64_t>> plan(slots);
  for (auto &[kind, operand] : plan) {
    kind = in.byte() % 5;
    if (kind == 1) operand = in.value<uint16_t>();
    if (kind == 3) operand = in.byte();
    if (kind == 4) operand = in.value<uint64_t>();
  }
  const auto records = in.rest();
  const size_t records_at = cifs::share_list_count_size + slots * cifs::share_list_pointer_size;
  const size_t block_size = records_at + records.size();

  auto *block = static_cast<uint8_t *>(std::malloc(block_size));
  FUZZ_CHECK(block != nullptr);
  std::memcpy(block, &count, sizeof count);
  if (!records.empty()) std::memcpy(block + records_at, records.data(), records.size());
  const auto begin = reinterpret_cast<uintptr_t>(block);
  for (size_t i = 0; i < slots; ++i) {
    const uintptr_t address = slot_address(plan[i].first, plan[i].second, begin, block_size);
    std::memcpy(block + cifs::share_list_count_size + i * cifs::share_list_pointer_size, &address, sizeof address);
  }

  // The extent the converter uses: the allocator's, exactly the block under ASan.
  const size_t extent = cifs::library_buffer_size(block);
  cifs::share_list_reader reader(block, extent);
  FUZZ_CHECK(reader.count() <= count);
  FUZZ_CHECK(reader.count() <= (extent - cifs::share_list_count_size) / cifs::share_list_pointer_size);
  for (uint32_t i = 0; i < reader.count(); ++i) {
    cifs::share_fault fault = cifs::share_fault::none;
    const auto share = reader.share(i, &fault);
    FUZZ_CHECK(share.has_value() == (fault == cifs::share_fault::none));
    if (!share) continue;
    for (std::string_view text : {share->name, share->volume_name, share->comment, share->relative_path,
                                  share->absolute_path})
      check_text(text, begin, begin + extent);
  }
  std::free(block);
  return 0;
}
