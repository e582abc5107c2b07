#include "base/bounded_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(BoundedText, CopiesAreCutToTheFieldAndTerminated) {
  // The request's error key and caller DN fields.
  char error_key[64], caller_dn[256];
  std::string long_key(100, 'k');
  cifs::copy_bounded(error_key, long_key.c_str());
  EXPECT_EQ(std::string(error_key), long_key.substr(0, 63));

  std::string dn(300, 'd');
  cifs::copy_bounded(caller_dn, dn.c_str());
  EXPECT_EQ(std::string(caller_dn).size(), 255u);

  cifs::copy_bounded(error_key, nullptr);
  EXPECT_STREQ(error_key, "");
}

TEST(BoundedText, ACutNeverSplitsAUtf8Character) {
  char field[8];
  cifs::copy_bounded(field, "abcde\xC3\xA9z");  // é would straddle the cut at 7 bytes
  EXPECT_STREQ(field, "abcde\xC3\xA9");
  cifs::copy_bounded(field, "abcdef\xC3\xA9");
  EXPECT_STREQ(field, "abcdef");
  cifs::copy_bounded(field, "abcd\xF0\x9F\x98\x80");  // 4-byte character, 3 bytes of room
  EXPECT_STREQ(field, "abcd");
  cifs::copy_bounded(field, "abc\xF0\x9F\x98\x80");  // fits exactly
  EXPECT_STREQ(field, "abc\xF0\x9F\x98\x80");
  cifs::format_bounded(field, sizeof field, "%s: %s", "abc", "\xE2\x82\xAC");
  EXPECT_STREQ(field, "abc: ");
  cifs::format_bounded(field, sizeof field, "%s", "ab\xE2\x82\xAC" "c\xE2\x82\xAC");
  EXPECT_STREQ(field, "ab\xE2\x82\xAC" "c");
}

}  // namespace
