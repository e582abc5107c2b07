#include <gtest/gtest.h>

#include <string>

#include "base/log.h"

namespace {

std::string escaped(std::string_view text, size_t capacity = 256) {
  std::string out(capacity, '#');
  const size_t length = cifs::escape_log_text(text, out.data(), capacity);
  EXPECT_EQ(out[length], '\0');
  out.resize(length);
  return out;
}

TEST(LogEscape, WellFormedTextStaysBackslashesIncludedWhatIsNotUtf8IsEscaped) {
  EXPECT_EQ(escaped("DOMAIN\\alice \xC3\xA9\xF0\x9F\x98\x80\xC2\x85\x7f"), "DOMAIN\\alice \xC3\xA9\xF0\x9F\x98\x80\\u0085\\x7f");
  // A stray continuation byte, an overlong form, a surrogate, past U+10FFFF,
  // a sequence the text ends inside.
  EXPECT_EQ(escaped("\x80|\xC0\xAF|\xED\xA0\x80|\xF4\x90\x80\x80|\xE2\x80"),
            "\\x80|\\xc0\\xaf|\\xed\\xa0\\x80|\\xf4\\x90\\x80\\x80|\\xe2\\x80");
}

TEST(LogEscape, ACutNeverSplitsAnEscapeOrACharacter) {
  EXPECT_EQ(escaped("ab\x01", 5), "ab") << "\\x01 needs four bytes, two are left";
  EXPECT_EQ(escaped("ab\x01", 7), "ab\\x01");
  EXPECT_EQ(escaped("ab\xE2\x82\xAC", 5), "ab");
  EXPECT_EQ(escaped("abc", 1), "");
}

}  // namespace
