// The close file record, filled in a malloc'd record of exactly its size so
// a write past it is a finding, with paths on both sides of the longest one
// it holds: a refused path leaves the record untouched, an accepted one is
// the only text, with its NUL, in an otherwise zero record.
//
// Input: u8 mode (bit 0: the path is the rest of the input; otherwise it is
// 4090 + u8 mod 12 bytes long, the rest of the input then a u8 fill byte) |
// the rest.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_input.h"
#include "wire/close_file_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::input in(data, size);
  const uint8_t mode = in.byte();
  std::string path;
  if (mode & 1) {
    const auto rest = in.rest();
    path.assign(rest.begin(), rest.end());
  } else {
    const size_t length = 4090 + in.byte() % 12;
    const char fill = static_cast<char>(in.byte());
    const auto rest = in.take(length);
    path.assign(rest.begin(), rest.end());
    path.resize(length, fill);
  }

  auto *record = static_cast<cifs::close_file_record *>(std::malloc(sizeof(cifs::close_file_record)));
  FUZZ_CHECK(record != nullptr);
  auto *bytes = reinterpret_cast<uint8_t *>(record);
  std::memset(bytes, 0xA5, sizeof *record);

  const bool filled = cifs::fill_close_file_record(record, path);
  FUZZ_CHECK(filled == (path.size() <= cifs::close_file_area - 1));
  if (!filled) {
    for (size_t i = 0; i < sizeof *record; ++i) FUZZ_CHECK(bytes[i] == 0xA5);
  } else {
    // Every header field zero, the full path offset (0) and strings length included.
    for (size_t i = 0; i < sizeof(cifs::open_file_record); ++i) FUZZ_CHECK(bytes[i] == 0);
    const uint8_t *strings = bytes + sizeof(cifs::open_file_record);
    FUZZ_CHECK(std::memcmp(strings, path.data(), path.size()) == 0);
    for (size_t i = path.size(); i < cifs::close_file_area; ++i) FUZZ_CHECK(strings[i] == 0);
  }
  std::free(record);
  return 0;
}
