// The user context list walker over a count buffer and a text block, each a
// malloc copy of exactly the bytes the input gives, as the library hands out.
//
// Input: u8 count buffer length (mod 6; 0: no count buffer) | its bytes |
// u8 flags (bit 0: no block at all) | the rest: the block.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_input.h"
#include "wire/context_list.h"
#include "base/malloc_block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::input in(data, size);
  const size_t count_length = in.byte() % 6;
  uint8_t *count = count_length ? fuzz::malloc_copy(in.take(count_length)) : nullptr;
  const bool no_block = in.byte() & 1;
  uint8_t *block = no_block ? nullptr : fuzz::malloc_copy(in.rest());

  const size_t block_size = cifs::malloc_block_size(block);
  cifs::context_list_reader reader(cifs::byte_reader(count, cifs::malloc_block_size(count)),
                                   cifs::byte_reader(block, block_size));
  const auto *next_expected = reinterpret_cast<const char *>(block);
  while (const auto text = reader.next()) {
    // Texts come back to back, each ending with a NUL inside the block.
    FUZZ_CHECK(text->data() == next_expected);
    FUZZ_CHECK(reinterpret_cast<const uint8_t *>(text->data()) + text->size() < block + block_size);
    FUZZ_CHECK(text->data()[text->size()] == '\0');
    next_expected = text->data() + text->size() + 1;
  }
  FUZZ_CHECK(reader.texts_read() <= reader.count());
  FUZZ_CHECK(reader.cut_short() == (reader.texts_read() < reader.count()));
  FUZZ_CHECK(!reader.next());
  std::free(count);
  std::free(block);
  return 0;
}
