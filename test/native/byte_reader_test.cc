#include "values/byte_reader.h"

#include <gtest/gtest.h>

#include <cstdint>

using cifs::byte_reader;

namespace {

// 4-byte little-endian value 0x04030201, then "ab\0", then an unterminated "cd".
constexpr uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 'a', 'b', 0, 'c', 'd'};

TEST(ByteReader, ValuesAreReadOnlyWhenTheyFit) {
  byte_reader reader(bytes, sizeof bytes);
  EXPECT_EQ(reader.value_at<uint32_t>(0), 0x04030201u);
  EXPECT_EQ(reader.value_at<uint32_t>(5), std::optional<uint32_t>(0x64630062u));  // unaligned
  EXPECT_FALSE(reader.value_at<uint32_t>(6));  // one byte short
  EXPECT_FALSE(reader.value_at<uint8_t>(sizeof bytes));
  EXPECT_FALSE(reader.value_at<uint64_t>(SIZE_MAX - 2));  // offset arithmetic must not wrap
}

TEST(ByteReader, TextsMustEndInsideTheView) {
  byte_reader reader(bytes, sizeof bytes);
  EXPECT_EQ(reader.text_at(4), std::optional<std::string_view>("ab"));
  EXPECT_EQ(reader.text_at(6), std::optional<std::string_view>(""));
  EXPECT_FALSE(reader.text_at(7));  // "cd" runs to the end without a NUL
  EXPECT_FALSE(reader.text_at(sizeof bytes));
  EXPECT_FALSE(reader.text_at(0xFFFFFFFFu));
}

}  // namespace
