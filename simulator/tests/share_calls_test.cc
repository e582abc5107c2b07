// Share calls through the exported functions, as the addon makes them: what
// they refuse, and the failures and raw lists a test can inject.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "cifs_sim_status.h"
#include "record_builder.h"
#include "sim_probe.h"

using simtest::config_record;
using simtest::list_shares;
using simtest::name_record;

namespace {

class ShareCalls : public ::testing::Test {
 protected:
  void SetUp() override { cifssim_reset(); }
  void TearDown() override { cifssim_reset(); }
};

const simtest::listed_share *find(const std::vector<simtest::listed_share> &list, const std::string &name) {
  auto it = std::ranges::find_if(list, [&](const auto &s) { return s.name == name; });
  return it == list.end() ? nullptr : &*it;
}

}  // namespace

// Every record built wrong in one field is refused and changes nothing.
TEST_F(ShareCalls, MalformedRecordsAreRefused) {
  using bend = void (*)(cifs::share_record &);
  const auto config = [](bend b) {
    auto r = config_record({.name = "bad"});
    auto h = r.header();
    b(h);
    r.set_header(h);
    return r;
  };
  struct refusal {
    const char *what;
    int32_t (*call)(void *);
    simtest::record_bytes record;
  };
  refusal cases[] = {
      {"always bit cleared", CIFSLIB_CreateShare, config([](auto &h) { h.change_mask &= ~cifs::change_always; })},
      {"unknown mask bit", CIFSLIB_CreateShare, config([](auto &h) { h.change_mask |= 0x40; })},
      {"name at the area's end", CIFSLIB_CreateShare, config([](auto &h) { h.name_offset = h.strings_length; })},
      {"name offset near the wrap", CIFSLIB_CreateShare, config([](auto &h) { h.name_offset = 0xFFFFFFFE; })},
      {"no relative path", CIFSLIB_ChangeShareConfiguration,
       config([](auto &h) { h.relative_path_offset = cifs::absent_offset; })},
      {"comment bit, no comment", CIFSLIB_CreateShare, config([](auto &h) { h.change_mask |= cifs::change_comment; })},
      // Cutting the area before the last NUL leaves the relative path unterminated.
      {"area cut short", CIFSLIB_CreateShare, config([](auto &h) { h.strings_length -= 1; })},
      {"feature without a bit", CIFSLIB_ChangeShareFeatureConfiguration, name_record("bad", 0)},
      {"two feature bits", CIFSLIB_ChangeShareFeatureConfiguration,
       name_record("bad", cifs::change_encryption | cifs::change_atm_backup)},
      {"feature and always bits", CIFSLIB_ChangeShareFeatureConfiguration,
       name_record("bad", cifs::change_encryption | cifs::change_always)},
      {"empty name", CIFSLIB_RemoveShare, name_record("")},
  };
  for (auto &c : cases) EXPECT_EQ(c.call(c.record.get()), CIFSSIM_BAD_RECORD) << c.what;
  for (auto *call : {CIFSLIB_CreateShare, CIFSLIB_ChangeShareConfiguration, CIFSLIB_ChangeShareFeatureConfiguration,
                     CIFSLIB_RemoveShare})
    EXPECT_EQ(call(nullptr), CIFSSIM_NULL_ARGUMENT);
  EXPECT_FALSE(find(list_shares(), "bad"));
}

TEST_F(ShareCalls, LyingStringsLengthIsRefusedUnread) {
  auto record = name_record("home");
  auto h = record.header();
  h.strings_length = 0x7fffffff;
  record.set_header(h);
  // The library reads up to its parse limit, so the memory must reach that
  // far; the declared area goes far beyond it.
  std::vector<uint8_t> area(48 + cifssim::parsed_strings_limit, 0);
  std::memcpy(area.data(), record.bytes().data(), record.bytes().size());
  EXPECT_EQ(CIFSLIB_RemoveShare(reinterpret_cast<cifs::share_record *>(area.data())), CIFSSIM_BAD_RECORD);
  EXPECT_TRUE(find(list_shares(), "home"));
}

// A counted failure hits only its name and is used up; an unlimited one lasts
// until reset and writes no result.
TEST_F(ShareCalls, InjectedFailuresHitTheirNameForTheirCount) {
  ASSERT_EQ(cifssim_fail("CIFSLIB_RemoveShare", 5, "home", 1), CIFSSIM_OK);
  EXPECT_EQ(CIFSLIB_RemoveShare(name_record("SYS").get()), CIFSSIM_OK);
  EXPECT_EQ(CIFSLIB_RemoveShare(name_record("home").get()), 5);
  EXPECT_TRUE(find(list_shares(), "home"));
  EXPECT_EQ(CIFSLIB_RemoveShare(name_record("home").get()), CIFSSIM_OK);

  ASSERT_EQ(cifssim_fail("CIFSLIB_ListAllShares", -3, nullptr, 0), CIFSSIM_OK);
  void *block = nullptr;
  EXPECT_EQ(CIFSLIB_ListAllShares(&block), -3);
  EXPECT_EQ(CIFSLIB_ListAllShares(&block), -3);
  EXPECT_EQ(block, nullptr);
  cifssim_reset();
  EXPECT_EQ(CIFSLIB_ListAllShares(&block), CIFSSIM_OK);
  std::free(block);
}

TEST_F(ShareCalls, RawListsAreServedOnce) {
  ASSERT_EQ(simtest::raw_result("CIFSLIB_ListAllShares", 0, {simtest::null_out()}), CIFSSIM_OK);
  void *block = reinterpret_cast<void *>(1);
  EXPECT_EQ(CIFSLIB_ListAllShares(&block), CIFSSIM_OK);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(list_shares().size(), 5u);

  const auto rec = cifssim::listed_record({.name = "raw", .volume = "V"});
  const cifssim_slot slots[] = {{CIFSSIM_SLOT_RECORD, rec.data(), rec.size()}, {CIFSSIM_SLOT_NULL, nullptr, 0}};
  ASSERT_EQ(simtest::raw_result("CIFSLIB_ListAllShares", 0, {simtest::slots_out(slots)}), CIFSSIM_OK);
  const auto list = list_shares();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].name, "raw");
  EXPECT_EQ(list[1].name, "<null>");

  const cifssim_slot unknown[] = {{7, nullptr, 0}};
  EXPECT_EQ(simtest::raw_result("CIFSLIB_ListAllShares", 0, {simtest::slots_out(unknown)}), CIFSSIM_BAD_ARGUMENT);
  const cifssim_slot missing_bytes[] = {{CIFSSIM_SLOT_RECORD, nullptr, 4}};
  EXPECT_EQ(simtest::raw_result("CIFSLIB_ListAllShares", 0, {simtest::slots_out(missing_bytes)}),
            CIFSSIM_BAD_ARGUMENT);
}

// Slots as a faulty library could fill them: an empty record, the block's
// end, a record kept elsewhere. Each must point exactly where it says.
TEST_F(ShareCalls, RawSlotsPointInsideAtTheEndOrOutsideTheBlock) {
  const auto rec = cifssim::listed_record({.name = "raw", .volume = "V"});
  const cifssim_slot slots[] = {{CIFSSIM_SLOT_RECORD, nullptr, 0},
                                {CIFSSIM_SLOT_RECORD, rec.data(), rec.size()},
                                {CIFSSIM_SLOT_OUTSIDE, rec.data(), rec.size()},
                                {CIFSSIM_SLOT_END, nullptr, 0},
                                {CIFSSIM_SLOT_RECORD, nullptr, 0}};
  ASSERT_EQ(simtest::raw_result("CIFSLIB_ListAllShares", 0, {simtest::slots_out(slots)}), CIFSSIM_OK);
  void *block = nullptr;
  ASSERT_EQ(CIFSLIB_ListAllShares(&block), CIFSSIM_OK);
  const auto *bytes = static_cast<const uint8_t *>(block);
  const uint8_t *pointers[5];
  std::memcpy(pointers, bytes + 4, sizeof pointers);
  const uint8_t *records_at = bytes + 4 + 5 * 8;
  const uint8_t *end = records_at + rec.size();
  EXPECT_EQ(pointers[0], records_at) << "an empty record points where the next one begins";
  EXPECT_EQ(pointers[1], records_at);
  EXPECT_TRUE(pointers[2] < bytes || pointers[2] >= end) << "an outside record is not in the block";
  EXPECT_EQ(std::vector<uint8_t>(pointers[2], pointers[2] + rec.size()), rec);
  EXPECT_EQ(pointers[3], end);
  EXPECT_EQ(pointers[4], end) << "an empty last record starts at the block's end";
  std::free(block);
}

TEST_F(ShareCalls, UnmodelledCallsAnswerNotImplemented) {
  EXPECT_EQ(CIFSLIB_GetShareNames(nullptr), CIFSSIM_NOT_IMPLEMENTED);
  const auto calls = simtest::mgmt_calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].call, "CIFSLIB_GetShareNames");
}
