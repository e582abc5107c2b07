#include "mgmtclient/context_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using cifs::byte_reader;
using cifs::context_list_reader;

// Every text the reader hands out, in order.
std::vector<std::string> walk(context_list_reader &reader) {
  std::vector<std::string> out;
  while (auto text = reader.next()) out.emplace_back(*text);
  return out;
}

constexpr uint8_t count_of_three[] = {0x03, 0x00, 0x00, 0x00};
constexpr uint8_t count_huge[] = {0xff, 0xff, 0xff, 0xff};
constexpr char three_texts[] = {'.', 'a', 0, 0, '.', 'c', '.', 'x', 0};

TEST(ContextListReader, ReadsTheCountedTextsBackToBack) {
  context_list_reader reader(byte_reader(count_of_three, 4), byte_reader(three_texts, sizeof three_texts));
  EXPECT_EQ(walk(reader), (std::vector<std::string>{".a", "", ".c.x"}));
  EXPECT_FALSE(reader.cut_short());
  EXPECT_FALSE(reader.next()) << "the walk stays over";
}

TEST(ContextListReader, StopsAtTheCountEvenWhenTheBlockHoldsMore) {
  constexpr uint8_t one[] = {0x01, 0x00, 0x00, 0x00};
  context_list_reader reader(byte_reader(one, 4), byte_reader(three_texts, sizeof three_texts));
  EXPECT_EQ(walk(reader), std::vector<std::string>{".a"});
  EXPECT_FALSE(reader.cut_short());
}

TEST(ContextListReader, ACountPastTheBlockEndsAtTheLastTerminatedText) {
  context_list_reader reader(byte_reader(count_huge, 4), byte_reader(three_texts, sizeof three_texts));
  EXPECT_EQ(walk(reader).size(), 3u);
  EXPECT_TRUE(reader.cut_short());
  EXPECT_EQ(reader.texts_read(), 3u);
  EXPECT_EQ(reader.count(), 0xFFFFFFFFu);

  constexpr char unterminated[] = {'.', 'a', 0, '.', 'b'};
  context_list_reader tail(byte_reader(count_of_three, 4), byte_reader(unterminated, sizeof unterminated));
  EXPECT_EQ(walk(tail), std::vector<std::string>{".a"}) << "an unterminated text is never handed out";
  EXPECT_TRUE(tail.cut_short());
}

TEST(ContextListReader, AMissingOrShortCountReadsNothing) {
  context_list_reader no_count(byte_reader(nullptr, 4), byte_reader(three_texts, sizeof three_texts));
  EXPECT_TRUE(walk(no_count).empty());
  EXPECT_FALSE(no_count.cut_short());
  context_list_reader short_count(byte_reader(count_of_three, 3), byte_reader(three_texts, sizeof three_texts));
  EXPECT_EQ(short_count.count(), 0u);
  context_list_reader no_block(byte_reader(count_of_three, 4), byte_reader(nullptr, 0));
  EXPECT_TRUE(walk(no_block).empty());
  EXPECT_TRUE(no_block.cut_short());
}

}  // namespace
