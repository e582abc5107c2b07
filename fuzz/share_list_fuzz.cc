// The share list walker over a real block in malloc'd memory, with pointer
// slots derived from the input so the walker meets every shape that matters:
// records anywhere inside the block (the slot array included), the block's
// end, null, and records the library keeps apart from the block.
//
// Input: u32 count field | u8 slot count (mod 17) | per slot a u8 kind (mod 4)
// and its operand: 0 null; 1 u16 offset into the block (mod its size); 2 the
// block's end; 3 u16 offset into the apart area (mod its given size) |
// u16 apart area size | its bytes | the rest: record bytes laid after the slots.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "wire/share_records.h"
#include "wire/library_limits.h"
#include "base/malloc_block.h"

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

uintptr_t slot_address(uint8_t kind, uint64_t operand, uintptr_t begin, size_t size, uintptr_t apart,
                       size_t apart_given) {
  switch (kind) {
    case 1: return begin + operand % size;
    case 2: return begin + size;
    case 3: return apart + operand % apart_given;
    default: return 0;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::input in(data, size);
  const uint32_t claimed = in.value<uint32_t>();
  const size_t slots = in.byte() % 17;
  std::vector<std::pair<uint8_t, uint64_t>> plan(slots);
  for (auto &[kind, operand] : plan) {
    kind = in.byte() % 4;
    if (kind == 1 || kind == 3) operand = in.value<uint16_t>();
  }
  // A record apart from the block is trusted for its header and up to the
  // bound on its strings: the area holds that much behind any record in it.
  const auto apart_given = in.take(in.value<uint16_t>());
  const size_t apart_size = apart_given.size() + sizeof(cifs::share_record) + cifs::share_record_max_strings + 1;
  std::vector<uint8_t> apart_area(apart_size, 'z');
  if (!apart_given.empty()) std::memcpy(apart_area.data(), apart_given.data(), apart_given.size());
  const auto apart = reinterpret_cast<uintptr_t>(apart_area.data());
  const auto records = in.rest();
  const size_t records_at = cifs::share_list_count_size + slots * cifs::share_list_pointer_size;
  const size_t block_size = records_at + records.size();

  // A count past the slots makes record bytes read as pointers, and a pointer
  // outside the block is trusted as a record the library keeps: only a block
  // with no record bytes behind its slots may lie about its count here.
  const uint32_t count = records.empty() ? claimed : std::min<uint32_t>(claimed, static_cast<uint32_t>(slots));
  auto *block = static_cast<uint8_t *>(std::malloc(block_size));
  FUZZ_CHECK(block != nullptr);
  std::memcpy(block, &count, sizeof count);
  if (!records.empty()) std::memcpy(block + records_at, records.data(), records.size());
  const auto begin = reinterpret_cast<uintptr_t>(block);
  for (size_t i = 0; i < slots; ++i) {
    uint8_t kind = plan[i].first;
    if (kind == 3 && apart_given.empty()) kind = 0;
    const uintptr_t address = slot_address(kind, plan[i].second, begin, block_size, apart, apart_given.size());
    std::memcpy(block + cifs::share_list_count_size + i * cifs::share_list_pointer_size, &address, sizeof address);
  }

  // The extent the converter uses: the allocator's, exactly the block under ASan.
  const size_t extent = cifs::malloc_block_size(block);
  cifs::share_list_reader reader(block, extent);
  FUZZ_CHECK(reader.count() <= count);
  FUZZ_CHECK(reader.count() <= (extent - cifs::share_list_count_size) / cifs::share_list_pointer_size);
  for (uint32_t i = 0; i < reader.count(); ++i) {
    cifs::share_fault fault = cifs::share_fault::none;
    const auto share = reader.share(i, &fault);
    FUZZ_CHECK(share.has_value() == (fault == cifs::share_fault::none));
    if (!share) continue;
    const uintptr_t address = fuzz::value_at<uintptr_t>(block, cifs::share_list_count_size + i * 8);
    const bool inside = address >= begin && address <= begin + extent;
    for (std::string_view text : {share->name, share->volume_name, share->comment, share->relative_path,
                                  share->absolute_path})
      inside ? check_text(text, begin, begin + extent) : check_text(text, apart, apart + apart_size);
  }
  std::free(block);
  return 0;
}
