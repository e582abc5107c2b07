#include "identity/utf16.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using cifs::convert_utf8_to_unicode;

// Converts into a buffer of `size` bytes pre-filled with 0xFFFF units.
std::vector<uint16_t> convert(const char *utf8, size_t size, int *result) {
  std::vector<uint16_t> out(size / 2 + 1, 0xFFFF);
  *result = convert_utf8_to_unicode(utf8, out.data(), size);
  return out;
}

TEST(Utf16Conversion, ConvertsEveryEncodedWidthUpToThreeBytes) {
  int result;
  auto out = convert("a\xC3\xA9\xE2\x82\xAC", 16, &result);  // a, e-acute, euro sign
  ASSERT_EQ(result, 3);
  EXPECT_EQ(out[0], 0x61);
  EXPECT_EQ(out[1], 0xE9);
  EXPECT_EQ(out[2], 0x20AC);
  EXPECT_EQ(out[3], 0);
}

TEST(Utf16Conversion, KeepsTheLastUnitForTheTerminator) {
  int result;
  auto out = convert("ab", 6, &result);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(out[2], 0);
  for (size_t size : {4u, 5u}) {
    out = convert("ab", size, &result);
    EXPECT_EQ(result, -1) << size;
    EXPECT_EQ(out[0], 'a') << size;
    EXPECT_EQ(out[1], 0) << size;
    EXPECT_EQ(out[2], 0xFFFF) << "wrote past " << size << " bytes";
  }
}

TEST(Utf16Conversion, RejectsUnusableArguments) {
  uint16_t unit = 0xFFFF;
  EXPECT_EQ(convert_utf8_to_unicode(nullptr, &unit, 4), -1);
  EXPECT_EQ(convert_utf8_to_unicode("a", nullptr, 4), -1);
  EXPECT_EQ(convert_utf8_to_unicode("a", &unit, 1), -1);
  EXPECT_EQ(unit, 0xFFFF) << "nothing may be written for unusable arguments";
  int result;
  auto out = convert("", 2, &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(out[0], 0);
  out = convert("a", 3, &result);  // one unit: room for the terminator only
  EXPECT_EQ(result, -1);
  EXPECT_EQ(out[0], 0);
}

TEST(Utf16Conversion, FailsOnMalformedOrOutOfPlaneInput) {
  const char *bad[] = {
      "x\xF0\x9F\x98\x80",  // four-byte sequence (outside the BMP)
      "x\x80",              // stray continuation byte
      "x\xC3",              // truncated two-byte sequence
      "x\xE2\x82",          // truncated three-byte sequence
      "x\xE2(\xAC",         // wrong continuation byte
  };
  for (const char *input : bad) {
    int result;
    auto out = convert(input, 64, &result);
    EXPECT_EQ(result, -1) << input;
    EXPECT_EQ(out[0], 'x') << "units before the error stay";
    EXPECT_EQ(out[1], 0) << "and are terminated";
  }
}

}  // namespace
