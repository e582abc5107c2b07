// The records and lists the simulator hands out, checked against bytes
// written by hand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "mgmt/share_list.h"
#include "mgmt/share_record_codec.h"
#include "sim_probe.h"

namespace {

std::vector<uint8_t> le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

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

// A raw list keeps its lying count, but holds exactly its own slots and every
// record they name, whatever the count says.
TEST(ShareList, RawListKeepsALyingCountButOnlyItsOwnSlots) {
  const auto rec = cifssim::listed_record({.name = "r", .volume = "V"});
  const cifssim::raw_slot slot{cifssim::slot_kind::record, rec};
  cifssim::kept_memory kept;
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
