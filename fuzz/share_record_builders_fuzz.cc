// The two share records the module writes: the create/change record and the
// per-name record, each checked against the layout read back independently
// (byte offsets of the header, texts in the string area).
//
// Input: u8 flags (bit 0: a comment, bit 1: a new name) | the texts separated
// by NUL bytes: name, volume, relative path, comment, new name (missing ones
// are empty). The module never sends a text holding a NUL, so none does here.
#include <malloc.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "wire/share_records.h"

namespace {

uint32_t u32_at(const uint8_t *record, size_t at) { return fuzz::value_at<uint32_t>(record, at); }

// An empty text may come with a null pointer, which memcmp must not see.
bool same_bytes(const uint8_t *at, std::string_view text) {
  return text.empty() || std::memcmp(at, text.data(), text.size()) == 0;
}

std::vector<std::string_view> split_texts(std::span<const uint8_t> bytes) {
  std::vector<std::string_view> texts;
  std::string_view all(reinterpret_cast<const char *>(bytes.data()), bytes.size());
  while (texts.size() < 5) {
    const size_t nul = all.find('\0');
    texts.push_back(all.substr(0, nul));
    if (nul == std::string_view::npos) break;
    all.remove_prefix(nul + 1);
  }
  texts.resize(5);
  return texts;
}

void check_config_record(const cifs::share_config_texts &texts) {
  const auto record = cifs::build_share_config_record(texts);
  FUZZ_CHECK(record != nullptr);
  const auto *bytes = reinterpret_cast<const uint8_t *>(record.get());
  const std::optional<std::string_view> in_order[5] = {texts.name, texts.volume_name, texts.relative_path,
                                                       texts.comment, texts.new_name};
  const size_t offset_field[5] = {16, 20, 28, 24, 36};
  uint32_t expected_length = 0;
  for (const auto &text : in_order)
    if (text) expected_length += static_cast<uint32_t>(text->size() + 1);
  FUZZ_CHECK(u32_at(bytes, 44) == expected_length);
  FUZZ_CHECK(malloc_usable_size(record.get()) >= 48 + size_t{expected_length});
  const uint32_t mask = (texts.comment ? 0x04u : 0u) | (texts.new_name ? 0x01u : 0u);
  FUZZ_CHECK(u32_at(bytes, 4) == mask);
  // Type, name space, features, absolute path and open files: all zero.
  for (size_t at : {0u, 8u, 12u, 32u, 40u}) FUZZ_CHECK(u32_at(bytes, at) == 0);
  uint32_t next = 0;
  for (size_t i = 0; i < 5; ++i) {
    const uint32_t offset = u32_at(bytes, offset_field[i]);
    if (!in_order[i]) {
      FUZZ_CHECK(offset == cifs::absent_offset);
      continue;
    }
    FUZZ_CHECK(offset == next);
    FUZZ_CHECK(same_bytes(bytes + 48 + offset, *in_order[i]));
    FUZZ_CHECK(bytes[48 + offset + in_order[i]->size()] == 0);
    next += static_cast<uint32_t>(in_order[i]->size() + 1);
  }
}

void check_name_record(std::string_view name) {
  cifs::name_share_record record;
  std::memset(&record, 0xAB, sizeof record);
  const bool filled = cifs::fill_name_record(&record, name);
  const auto *bytes = reinterpret_cast<const uint8_t *>(&record);
  FUZZ_CHECK(filled == (name.size() + 1 <= cifs::name_record_area));
  if (!filled) {
    for (size_t i = 0; i < sizeof record; ++i) FUZZ_CHECK(bytes[i] == 0xAB);
    return;
  }
  for (size_t at = 0; at < 44; ++at) FUZZ_CHECK(bytes[at] == 0);
  FUZZ_CHECK(u32_at(bytes, 44) == name.size() + 1);
  FUZZ_CHECK(same_bytes(bytes + 48, name));
  for (size_t at = 48 + name.size(); at < sizeof record; ++at) FUZZ_CHECK(bytes[at] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::input in(data, size);
  const uint8_t flags = in.byte();
  const auto texts = split_texts(in.rest());
  cifs::share_config_texts config{texts[0], texts[1], texts[2], {}, {}};
  if (flags & 1) config.comment = texts[3];
  if (flags & 2) config.new_name = texts[4];
  check_config_record(config);
  check_name_record(texts[0]);
  return 0;
}
