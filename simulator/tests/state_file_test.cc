// The state file's line format and its sharing between holders: texts of any
// bytes survive, broken lines are refused, and each holder keeps only its own
// section while it reloads what another holder wrote.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

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

// Two holders of one section stand in for two processes; a third section in
// the file belongs to someone else.
std::string held_a, held_b;
bool load_a(std::string_view l) { return l.starts_with("value") ? (held_a = l, true) : false; }
bool load_b(std::string_view l) { return l.starts_with("value") ? (held_b = l, true) : false; }

std::string read_file(const std::string &path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(StateFileSharing, HoldersSeeEachOthersChangesAndKeepOtherSections) {
  char dir[] = "/tmp/cifs-state-test-XXXXXX";
  ASSERT_TRUE(mkdtemp(dir));
  const std::string path = std::string(dir) + "/state";
  std::ofstream(path) << "other\tline\tkept\n";
  ASSERT_EQ(setenv("CIFS_SIM_STATE", path.c_str(), 1), 0);
  simstate::persistent_mutex a({"s", [] { return held_a; }, load_a});
  simstate::persistent_mutex b({"s", [] { return held_b; }, load_b});
  unsetenv("CIFS_SIM_STATE");

  held_a = "value\t1\n";
  held_b = "value\t0\n";
  a.lock();
  a.unlock();
  b.lock();
  EXPECT_EQ(held_b, "value\t1\n") << "b reloads what a wrote";
  held_b = "value\t2\n";
  b.unlock();
  a.lock();
  EXPECT_EQ(held_a, "value\t2\n");
  a.unlock();
  const std::string text = read_file(path);
  EXPECT_NE(text.find("other\tline\tkept\n"), std::string::npos);
  EXPECT_NE(text.find("s\tvalue\t2\n"), std::string::npos);

  // A section nobody can read is neither used nor overwritten.
  std::ofstream(path) << "s\tgarbage\n";
  held_a = "value\t3\n";
  a.lock();
  a.unlock();
  EXPECT_EQ(held_a, "value\t3\n");
  EXPECT_EQ(read_file(path), "s\tgarbage\n");
  (void)std::remove(path.c_str());
  (void)std::remove((path + ".lock").c_str());
  (void)rmdir(dir);
}

}  // namespace
