// UTF-8 to UTF-16 conversion against a reference written here from the
// contract alone: decode the whole text first, then lay out what fits. Both
// write into buffers of exactly `size` bytes pre-filled alike, and every byte
// of both must agree, so a stray write past the terminator is a finding too.
//
// Input: u16 output size in bytes (mod 600) | the text (up to its first NUL).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "wire/utf16.h"

namespace {

// Units of the text, and whether all of it decoded (a byte from 0xF0 up, a
// stray or missing continuation byte ends the decoding there).
struct decoded {
  std::vector<uint16_t> units;
  bool complete = true;
};

decoded decode(const std::string &text) {
  decoded out;
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t width = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 0;
    if (width == 0) {
      out.complete = false;
      return out;
    }
    uint32_t code = width == 1 ? lead : width == 2 ? (lead & 0x1Fu) : (lead & 0x0Fu);
    for (size_t k = 1; k < width; ++k) {
      const auto next = static_cast<unsigned char>(i + k < text.size() ? text[i + k] : 0);
      if ((next & 0xC0) != 0x80) {
        out.complete = false;
        return out;
      }
      code = (code << 6) | (next & 0x3Fu);
    }
    out.units.push_back(static_cast<uint16_t>(code));
    i += width;
  }
  return out;
}

// The contract: room for size / 2 units, the last kept for the terminator.
int reference(const std::string &text, uint16_t *out, size_t size) {
  if (size < 2) return -1;
  if (text.empty()) {
    out[0] = 0;
    return 0;
  }
  const size_t room = size / 2 - 1;
  const decoded d = decode(text);
  const size_t written = d.units.size() < room ? d.units.size() : room;
  for (size_t i = 0; i < written; ++i) out[i] = d.units[i];
  out[written] = 0;
  return d.complete && d.units.size() <= room ? static_cast<int>(written) : -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::input in(data, size);
  const size_t out_size = in.value<uint16_t>() % 600;
  const auto rest = in.rest();
  std::string text(reinterpret_cast<const char *>(rest.data()), rest.size());
  text.resize(std::strlen(text.c_str()));  // the converter reads up to the first NUL

  // Exactly out_size bytes each, so a write past them is an ASan finding.
  auto *converted = static_cast<uint16_t *>(std::malloc(out_size ? out_size : 1));
  auto *expected = static_cast<uint16_t *>(std::malloc(out_size ? out_size : 1));
  FUZZ_CHECK(converted && expected);
  std::memset(converted, 0xEE, out_size);
  std::memset(expected, 0xEE, out_size);
  const int result = cifs::convert_utf8_to_unicode(text.c_str(), converted, out_size);
  FUZZ_CHECK(result == reference(text, expected, out_size));
  FUZZ_CHECK(std::memcmp(converted, expected, out_size) == 0);
  FUZZ_CHECK(cifs::convert_utf8_to_unicode(nullptr, converted, out_size) == -1);
  std::free(converted);
  std::free(expected);
  return 0;
}
