#include "wire/utf16.h"

namespace cifs {

namespace {
bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }
}  // namespace

int convert_utf8_to_unicode(const char *utf8, uint16_t *utf16, size_t size) {
  if (utf8 == nullptr || utf16 == nullptr || size < 2) return -1;
  const auto *in = reinterpret_cast<const unsigned char *>(utf8);
  if (*in == 0) {
    utf16[0] = 0;
    return 0;
  }
  const size_t data_units = size / 2 - 1;  // the last unit is kept for the terminator
  if (data_units == 0) {
    utf16[0] = 0;
    return -1;
  }
  size_t out = 0;
  while (*in != 0) {
    if (out == data_units) {
      utf16[out] = 0;
      return -1;
    }
    const unsigned char lead = in[0];
    uint16_t unit;
    if (lead < 0x80) {
      unit = lead;
      in += 1;
    } else if (lead >= 0xC0 && lead <= 0xDF) {
      if (!is_continuation(in[1])) break;
      unit = static_cast<uint16_t>(((lead & 0x1F) << 6) | (in[1] & 0x3F));
      in += 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      // in[2] is read only when in[1] is a continuation byte, so never past the NUL.
      if (!is_continuation(in[1]) || !is_continuation(in[2])) break;
      unit = static_cast<uint16_t>(((lead & 0x0F) << 12) | ((in[1] & 0x3F) << 6) | (in[2] & 0x3F));
      in += 3;
    } else {
      break;  // a stray continuation byte or a lead byte from 0xF0 up
    }
    utf16[out++] = unit;
  }
  utf16[out] = 0;
  return *in == 0 ? static_cast<int>(out) : -1;
}

}  // namespace cifs
