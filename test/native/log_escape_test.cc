#include <gtest/gtest.h>

#include <string>

#include "module/log.h"

namespace {

std::string escaped(std::string_view text, size_t capacity = 256) {
  std::string out(capacity, '#');
  const size_t length = cifs::escape_log_text(text, out.data(), capacity);
  EXPECT_EQ(out[length], '\0');
  out.resize(length);
  return out;
}

TEST(LogEscape, ControlBytesAndBackslashesBecomeEscapes) {
  EXPECT_EQ(escaped("a\nTARVO-REST: <f:1> x"), "a\\nTARVO-REST: <f:1> x");
  EXPECT_EQ(escaped("\r\t\\"), "\\r\\t\\\\");
  EXPECT_EQ(escaped(std::string_view("\x00\x01\x1f\x7f", 4)), "\\x00\\x01\\x1f\\x7f");
  EXPECT_EQ(escaped("\x1b[31m"), "\\x1b[31m");
}

TEST(LogEscape, PrintableAndUtf8BytesStay) {
  EXPECT_EQ(escaped("cn=J\xC3\xA9r\xC3\xB4me \xE2\x82\xAC ~ !"), "cn=J\xC3\xA9r\xC3\xB4me \xE2\x82\xAC ~ !");
  EXPECT_EQ(escaped("\x80\xff"), "\x80\xff");
  EXPECT_EQ(escaped(""), "");
}

TEST(LogEscape, ACutNeverSplitsAnEscape) {
  EXPECT_EQ(escaped("ab\x01", 5), "ab") << "\\x01 needs four bytes, two are left";
  EXPECT_EQ(escaped("ab\x01", 7), "ab\\x01");
  EXPECT_EQ(escaped("abc", 1), "");
}

}  // namespace
