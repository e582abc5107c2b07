#include <gtest/gtest.h>

#include <string>

#include "base/log.h"

namespace {

std::string escaped(std::string_view text, size_t capacity) {
  std::string out(capacity, '#');
  const size_t length = cifs::escape_log_text(text, out.data(), capacity);
  EXPECT_EQ(out[length], '\0');
  out.resize(length);
  return out;
}

TEST(LogEscape, ACutNeverSplitsAnEscape) {
  EXPECT_EQ(escaped("ab\x01", 5), "ab") << "\\x01 needs four bytes, two are left";
  EXPECT_EQ(escaped("ab\x01", 7), "ab\\x01");
  EXPECT_EQ(escaped("abc", 1), "");
}

}  // namespace
