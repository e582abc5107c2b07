// Share calls through the exported functions, as the addon makes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "cifs_sim_status.h"
#include "record_builder.h"
#include "sim_probe.h"

using simtest::config_fields;
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

int32_t create(const config_fields &f) { return CIFSLIB_CreateShare(config_record(f).get()); }
int32_t change(const config_fields &f) { return CIFSLIB_ChangeShareConfiguration(config_record(f).get()); }

}  // namespace

TEST_F(ShareCalls, SeedListsEveryKindOfShareWithAComment) {
  const auto list = list_shares();
  ASSERT_GE(list.size(), 5u);
  const auto *admin = find(list, "_admin");
  ASSERT_TRUE(admin);
  EXPECT_EQ(admin->header.share_type, cifs::share_type_ipc);
  EXPECT_EQ(admin->header.name_space, cifs::name_space_unknown);
  const auto *projects = find(list, "projects");
  ASSERT_TRUE(projects);
  EXPECT_EQ(projects->comment, "");
  EXPECT_EQ(projects->absolute_path, "/DATA/projects");
  EXPECT_TRUE(std::ranges::all_of(list, [](const auto &s) { return s.header.comment_offset != cifs::absent_offset; }));
}

TEST_F(ShareCalls, CreatedShareIsListedWithItsPathsAndFeatures) {
  ASSERT_EQ(create({.name = "new", .volume = "HOME", .relative_path = "a/b", .comment = "hi", .atm_backup = 1}),
            CIFSSIM_OK);
  const auto list = list_shares();
  const auto *s = find(list, "new");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->volume, "HOME");
  EXPECT_EQ(s->relative_path, "a/b");
  EXPECT_EQ(s->absolute_path, "/HOME/a/b");
  EXPECT_EQ(s->comment, "hi");
  EXPECT_EQ(s->header.atm_backup, 1);
  EXPECT_EQ(s->header.encryption, 0);
}

TEST_F(ShareCalls, CreateRefusesTakenNamesAndUnknownVolumes) {
  EXPECT_EQ(create({.name = "Projects"}), CIFSSIM_SHARE_EXISTS);
  EXPECT_EQ(create({.name = "x", .volume = "NOPE"}), CIFSSIM_NO_SUCH_VOLUME);
  EXPECT_FALSE(find(list_shares(), "x"));
}

TEST_F(ShareCalls, MalformedCreateRecordsAreRefused) {
  auto bent = [](auto bend) {
    auto r = config_record({.name = "bad"});
    auto h = r.header();
    bend(h);
    r.set_header(h);
    return CIFSLIB_CreateShare(r.get());
  };
  EXPECT_EQ(bent([](cifs::share_record &h) { h.change_mask &= ~cifs::change_always; }), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(bent([](cifs::share_record &h) { h.change_mask |= 0x40; }), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(bent([](cifs::share_record &h) { h.name_offset = h.strings_length; }), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(bent([](cifs::share_record &h) { h.relative_path_offset = cifs::absent_offset; }), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(bent([](cifs::share_record &h) { h.change_mask |= cifs::change_comment; }), CIFSSIM_BAD_RECORD);
  // Cutting the area before the last NUL leaves the relative path unterminated.
  EXPECT_EQ(bent([](cifs::share_record &h) { h.strings_length -= 1; }), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(CIFSLIB_CreateShare(nullptr), CIFSSIM_NULL_ARGUMENT);
  EXPECT_FALSE(find(list_shares(), "bad"));
}

TEST_F(ShareCalls, ChangeAppliesCommentOnlyWhenMarked) {
  ASSERT_EQ(change({.name = "home", .volume = "HOME", .relative_path = "users"}), CIFSSIM_OK);
  EXPECT_EQ(find(list_shares(), "home")->comment, "Home directories");
  ASSERT_EQ(change({.name = "home", .volume = "HOME", .relative_path = "users", .comment = ""}), CIFSSIM_OK);
  EXPECT_EQ(find(list_shares(), "home")->comment, "");
}

TEST_F(ShareCalls, ChangeMovesAndRenames) {
  ASSERT_EQ(change({.name = "HOME", .volume = "DATA", .relative_path = "h", .new_name = "homes", .encryption = 1}),
            CIFSSIM_OK);
  const auto list = list_shares();
  EXPECT_FALSE(find(list, "home"));
  const auto *s = find(list, "homes");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->absolute_path, "/DATA/h");
  EXPECT_EQ(s->header.encryption, 1);
  EXPECT_EQ(s->header.folder_redirection, 0);
}

TEST_F(ShareCalls, RenameOntoAnotherShareIsRefusedButCaseChangeIsNot) {
  EXPECT_EQ(change({.name = "home", .volume = "HOME", .new_name = "sys"}), CIFSSIM_NAME_TAKEN);
  EXPECT_TRUE(find(list_shares(), "home"));
  EXPECT_EQ(change({.name = "home", .volume = "HOME", .new_name = "Home"}), CIFSSIM_OK);
  EXPECT_TRUE(find(list_shares(), "Home"));
}

TEST_F(ShareCalls, ChangeOfUnknownShareOrVolume) {
  EXPECT_EQ(change({.name = "ghost"}), CIFSSIM_NO_SUCH_SHARE);
  EXPECT_EQ(change({.name = "home", .volume = "NOPE"}), CIFSSIM_NO_SUCH_VOLUME);
}

TEST_F(ShareCalls, FeatureRecordSwitchesOnlyItsFeature) {
  ASSERT_EQ(CIFSLIB_ChangeShareFeatureConfiguration(name_record("DATA", cifs::change_encryption, 0).get()),
            CIFSSIM_OK);
  const auto list = list_shares();
  const auto *s = find(list, "DATA");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->header.encryption, 0);
  EXPECT_EQ(s->header.atm_backup, 1);
  ASSERT_EQ(CIFSLIB_ChangeShareFeatureConfiguration(name_record("data", cifs::change_folder_redirection, 2).get()),
            CIFSSIM_OK);
  EXPECT_EQ(find(list_shares(), "DATA")->header.folder_redirection, 1);
}

TEST_F(ShareCalls, FeatureRecordNeedsExactlyOneFeatureBitAndAKnownShare) {
  EXPECT_EQ(CIFSLIB_ChangeShareFeatureConfiguration(name_record("DATA", 0).get()), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(CIFSLIB_ChangeShareFeatureConfiguration(
                name_record("DATA", cifs::change_encryption | cifs::change_atm_backup).get()),
            CIFSSIM_BAD_RECORD);
  EXPECT_EQ(CIFSLIB_ChangeShareFeatureConfiguration(
                name_record("DATA", cifs::change_encryption | cifs::change_always).get()),
            CIFSSIM_BAD_RECORD);
  EXPECT_EQ(CIFSLIB_ChangeShareFeatureConfiguration(name_record("ghost", cifs::change_atm_backup).get()),
            CIFSSIM_NO_SUCH_SHARE);
}

TEST_F(ShareCalls, RemoveTakesTheShareAwayOnce) {
  EXPECT_EQ(CIFSLIB_RemoveShare(name_record("PROJECTS").get()), CIFSSIM_OK);
  EXPECT_FALSE(find(list_shares(), "projects"));
  EXPECT_EQ(CIFSLIB_RemoveShare(name_record("projects").get()), CIFSSIM_NO_SUCH_SHARE);
  EXPECT_EQ(CIFSLIB_RemoveShare(name_record("").get()), CIFSSIM_BAD_RECORD);
}

TEST_F(ShareCalls, CallLogHoldsTheExactRecordBytes) {
  auto record = name_record("home");
  CIFSLIB_RemoveShare(record.get());
  void *block = nullptr;
  CIFSLIB_ListAllShares(&block);
  std::free(block);
  const auto calls = simtest::mgmt_calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].call, "CIFSLIB_RemoveShare");
  EXPECT_EQ(calls[0].text, "");
  EXPECT_EQ(calls[0].record, record.bytes());
  EXPECT_EQ(calls[1].call, "CIFSLIB_ListAllShares");
  EXPECT_FALSE(calls[1].has_record);
}

TEST_F(ShareCalls, LongCommentIsKeptButTheLogClipsIt) {
  const std::string comment(10000, 'c');
  ASSERT_EQ(create({.name = "long", .comment = comment}), CIFSSIM_OK);
  EXPECT_EQ(find(list_shares(), "long")->comment, comment);
  EXPECT_EQ(simtest::mgmt_calls()[0].record.size(), 48 + cifssim::logged_strings_limit);
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

TEST_F(ShareCalls, InjectedFailureHitsOnlyItsNameAndIsUsedUp) {
  ASSERT_EQ(cifssim_fail("CIFSLIB_RemoveShare", 5, "home", 1), CIFSSIM_OK);
  EXPECT_EQ(CIFSLIB_RemoveShare(name_record("SYS").get()), CIFSSIM_OK);
  EXPECT_EQ(CIFSLIB_RemoveShare(name_record("home").get()), 5);
  EXPECT_TRUE(find(list_shares(), "home"));
  EXPECT_EQ(CIFSLIB_RemoveShare(name_record("home").get()), CIFSSIM_OK);
}

TEST_F(ShareCalls, UnlimitedFailureLastsUntilReset) {
  ASSERT_EQ(cifssim_fail("CIFSLIB_ListAllShares", -3, nullptr, 0), CIFSSIM_OK);
  void *block = nullptr;
  EXPECT_EQ(CIFSLIB_ListAllShares(&block), -3);
  EXPECT_EQ(CIFSLIB_ListAllShares(&block), -3);
  EXPECT_EQ(block, nullptr);
  cifssim_reset();
  EXPECT_EQ(CIFSLIB_ListAllShares(&block), CIFSSIM_OK);
  std::free(block);
  EXPECT_EQ(cifssim_fail("CIFSLIB_Nope", 1, nullptr, 0), CIFSSIM_BAD_ARGUMENT);
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

TEST_F(ShareCalls, ConcurrentCreatesAllLand) {
  cifssim_set_delay(1);
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t)
    workers.emplace_back([t] {
      for (int i = 0; i < 10; ++i)
        EXPECT_EQ(create({.name = std::to_string(t * 100 + i) + "s"}), CIFSSIM_OK);
    });
  for (auto &w : workers) w.join();
  EXPECT_EQ(list_shares().size(), 45u);
  EXPECT_EQ(simtest::mgmt_calls().size(), 41u);
}
