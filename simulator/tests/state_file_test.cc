// The state file's line format: texts of any bytes survive, broken lines and
// numbers out of range are refused. Its sharing between processes and its
// safeguards are the simulator state suite's.
#include <gtest/gtest.h>

#include "common/state_file.h"

namespace {

using simstate::split_fields;

TEST(StateFileLine, EveryByteOfATextComesBack) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string line = "tag";
  simstate::put_field(line, all);
  simstate::put_field(line, "");
  EXPECT_EQ(line.find('\n'), std::string::npos);
  const auto fields = split_fields(line + "\n");
  ASSERT_TRUE(fields);
  EXPECT_EQ(*fields, (std::vector<std::string>{"tag", all, ""}));
}

TEST(StateFileLine, RefusesBrokenEscapesAndNumbersOutOfRange) {
  for (const char *broken : {"a\\", "a\\q", "a\\x4", "a\\xzz"}) EXPECT_FALSE(split_fields(broken)) << broken;
  uint16_t narrow = 0;
  int32_t wide = 0;
  EXPECT_FALSE(simstate::read_members(std::vector<std::string>{"t", "65536"}, 1, std::tie(narrow)));
  EXPECT_FALSE(simstate::read_members(std::vector<std::string>{"t", "1x"}, 1, std::tie(wide)));
  EXPECT_FALSE(simstate::read_members(std::vector<std::string>{"t", ""}, 1, std::tie(wide)));
  EXPECT_FALSE(simstate::read_members(std::vector<std::string>{"t", "1", "2"}, 1, std::tie(wide)));
  EXPECT_TRUE(simstate::read_members(std::vector<std::string>{"t", "-7"}, 1, std::tie(wide)));
  EXPECT_EQ(wide, -7);
}

}  // namespace
