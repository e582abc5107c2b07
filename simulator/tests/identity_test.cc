// What the identity library refuses, so a caller that gets an argument or the
// order of the calls wrong is caught rather than answered.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "cifs_sim_status.h"
#include "toral/toral_calls.h"
#include "toralsim_control.h"

namespace {

class Identity : public ::testing::Test {
 protected:
  void SetUp() override { toralsim_reset(); }
  void TearDown() override { toralsim_reset(); }
};

}  // namespace

TEST_F(Identity, TooSmallACapacityIsAnsweredWithTheNeededOneAndNoVerdict) {
  // The default entry: type 1, a supervisor, every status 0, 50 entries needed.
  const std::string_view lines = "default\t1\t1\t0\t0\t50\t0\t0\n";
  ASSERT_EQ(toralsim_set_section("identities", lines.data(), lines.size()), 0);
  const std::vector<uint16_t> name = {'c', 'n', '=', 'a', 0};
  std::vector<uint8_t> entries(50 * 16);  // entries of 16 bytes
  uint32_t capacity = 20;
  uint32_t supervisor = 7;
  EXPECT_EQ(torallib_get_sevlist_from_name(name.data(), &capacity, entries.data(), &supervisor),
            TORALSIM_BUFFER_TOO_SMALL);
  EXPECT_EQ(capacity, 50u);
  EXPECT_EQ(supervisor, 7u) << "the flag may only be trusted after a success";
  EXPECT_EQ(torallib_get_sevlist_from_name(name.data(), &capacity, entries.data(), &supervisor), 0);
  EXPECT_EQ(supervisor, 1u);
}

TEST_F(Identity, OnlyTheSidThatUserinfoWroteIsKnown) {
  uint8_t guid[16];
  uint8_t sid[72] = {};
  int32_t type = 0, further = 0;
  uint32_t uid = 0, count = 0, supervisor = 0;
  void *list = nullptr;
  EXPECT_EQ(torallib_get_sevlist_from_sid(sid, &count, &list, &supervisor), TORALSIM_UNKNOWN_SID);
  ASSERT_EQ(torallib_get_userinfo_from_name("cn=admin,o=example", &type, guid, sid, &uid, &further), 0);
  EXPECT_EQ(torallib_get_sevlist_from_sid(sid, &count, nullptr, &supervisor), TORALSIM_BAD_ARGUMENT);
  ASSERT_EQ(torallib_get_sevlist_from_sid(sid, &count, &list, &supervisor), 0);
  EXPECT_NE(list, nullptr);
  std::free(list);
}
