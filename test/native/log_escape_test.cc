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

TEST(LogEscape, NamesKeepTheirBackslashesAndCharacters) {
  EXPECT_EQ(escaped("cn=Doe\\, John,o=acme"), "cn=Doe\\, John,o=acme");
  EXPECT_EQ(escaped("DOMAIN\\alice \xC3\xA9 \xF0\x9F\x98\x80"), "DOMAIN\\alice \xC3\xA9 \xF0\x9F\x98\x80");
}

TEST(LogEscape, WhatCouldForgeOrHideALineIsEscaped) {
  EXPECT_EQ(escaped("a\nb\rc\td\x01\x7f"), "a\\nb\\rc\\td\\x01\\x7f");
  // C1 controls (U+0085, U+009B) and the line and paragraph separators.
  EXPECT_EQ(escaped("\xC2\x85\xC2\x9B\xE2\x80\xA8\xE2\x80\xA9\xC2\xA0"), "\\u0085\\u009b\\u2028\\u2029\xC2\xA0");
  // Bytes that are no UTF-8: stray continuation, overlong, surrogate, past
  // U+10FFFF, a sequence the text ends inside.
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
