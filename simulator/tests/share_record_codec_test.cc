// Record parsing and list building, checked against bytes written by hand:
// the layout the simulator hands out, and what its parser refuses.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "mgmt/share_list.h"
#include "mgmt/share_record_codec.h"
#include "sim_probe.h"

using cifssim::record_view;
using cifssim::text_status;

namespace {

std::vector<uint8_t> le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

std::vector<uint8_t> header_bytes(uint32_t name, uint32_t volume, uint32_t comment, uint32_t strings_length) {
  std::vector<uint8_t> h(48, 0);
  auto set = [&h](size_t at, uint32_t v) { std::memcpy(h.data() + at, le32(v).data(), 4); };
  set(16, name);
  set(20, volume);
  set(24, comment);
  set(28, 0xFFFFFFFF);
  set(32, 0xFFFFFFFF);
  set(36, 0xFFFFFFFF);
  set(44, strings_length);
  return h;
}

}  // namespace

TEST(ListedRecord, MatchesHandWrittenBytes) {
  cifssim::share s{.name = "ab", .volume = "V", .relative_path = "p", .absolute_path = "/V/p", .comment = "",
                   .type = 2, .name_space = 4, .encryption = true, .atm_backup = true, .open_files = 7};
  const std::vector<uint8_t> expected = {
      2, 0, 0, 0,                 // type, unused
      0, 0, 0, 0,                 // change mask
      4, 0, 0, 0,                 // name space
      1, 0, 1, 0,                 // encryption, folder redirection, ATM backup, unused
      0, 0, 0, 0,                 // name "ab"
      3, 0, 0, 0,                 // volume "V"
      5, 0, 0, 0,                 // comment ""
      6, 0, 0, 0,                 // relative path "p"
      8, 0, 0, 0,                 // absolute path "/V/p"
      0xFF, 0xFF, 0xFF, 0xFF,     // no new name
      7, 0, 0, 0,                 // open files
      13, 0, 0, 0,                // strings length
      'a', 'b', 0, 'V', 0, 0, 'p', 0, '/', 'V', '/', 'p', 0,
  };
  EXPECT_EQ(cifssim::listed_record(s), expected);
}

TEST(RecordView, RefusesRecordsShorterThanTheyClaim) {
  EXPECT_FALSE(record_view::parse(std::vector<uint8_t>(47, 0)));
  auto bytes = header_bytes(0, 0, 0, 3);
  bytes.insert(bytes.end(), {'a', 0});
  EXPECT_FALSE(record_view::parse(bytes));
  bytes.push_back(0);
  EXPECT_TRUE(record_view::parse(bytes));
}

TEST(RecordView, TextsMustStartAndEndInsideTheDeclaredArea) {
  auto bytes = header_bytes(0, 2, 0xFFFFFFFF, 4);
  // The declared area is "a\0bc"; the extra NUL after it must not count.
  bytes.insert(bytes.end(), {'a', 0, 'b', 'c', 0});
  const auto view = record_view::parse(bytes);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->text_at(0).status, text_status::ok);
  EXPECT_EQ(view->text_at(0).text, "a");
  EXPECT_EQ(view->text_at(1).status, text_status::ok);
  EXPECT_EQ(view->text_at(1).text, "");
  EXPECT_EQ(view->text_at(2).status, text_status::bad);
  EXPECT_EQ(view->text_at(4).status, text_status::bad);
  EXPECT_EQ(view->text_at(0xFFFFFFFE).status, text_status::bad);
  EXPECT_EQ(view->text_at(cifs::absent_offset).status, text_status::absent);
}

// A raw list keeps its lying count, but holds exactly its own slots and every
// record they name, whatever the count says.
TEST(ShareList, RawListKeepsALyingCountButOnlyItsOwnSlots) {
  const auto rec = cifssim::listed_record({.name = "r", .volume = "V"});
  const cifssim::raw_slot slot{cifssim::slot_kind::record, rec};
  cifssim::outside_records kept;
  void *more = cifssim::build_raw_share_list({slot, {}}, 4, kept);
  void *fewer = cifssim::build_raw_share_list({slot, slot, slot}, 1, kept);
  ASSERT_TRUE(more && fewer);
  const auto *bytes = static_cast<const uint8_t *>(more);
  EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), le32(4));
  const uint8_t *first = nullptr;
  const uint8_t *second = reinterpret_cast<const uint8_t *>(1);
  std::memcpy(&first, bytes + 4, 8);
  std::memcpy(&second, bytes + 12, 8);
  EXPECT_EQ(first, bytes + 4 + 16) << "the record follows the two slots directly: no room was made for four";
  EXPECT_EQ(second, nullptr);
  EXPECT_EQ(std::vector<uint8_t>(first, first + rec.size()), rec);

  bytes = static_cast<const uint8_t *>(fewer);
  const uint8_t *third = nullptr;
  std::memcpy(&third, bytes + 4 + 16, 8);
  EXPECT_EQ(third, bytes + 4 + 24 + 2 * rec.size());
  EXPECT_EQ(simtest::read_share_list(fewer).size(), 1u);
  std::free(more);
  std::free(fewer);
}
