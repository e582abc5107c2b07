// The identity library's three calls, driven in the order the addon uses them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cifs_sim_status.h"
#include "identity/toral_api.h"
#include "toralsim_control.h"

namespace {

struct call {
  std::string name, text;
  uint32_t capacity;
  bool operator==(const call &) const = default;
};

std::vector<call> calls() {
  std::vector<call> out;
  toralsim_visit_calls(
      [](void *ctx, const char *c, const char *text, uint32_t capacity) {
        static_cast<std::vector<call> *>(ctx)->push_back({c, text, capacity});
      },
      &out);
  return out;
}

std::vector<uint16_t> utf16(const std::u16string &text) {
  std::vector<uint16_t> out(text.begin(), text.end());
  out.push_back(0);
  return out;
}

struct user_info {
  int32_t status;
  int32_t type;
  uint8_t sid[72];
};

user_info userinfo(const char *dn) {
  user_info info{};
  uint8_t guid[16];
  uint32_t uid = 0;
  int32_t further = 0;
  info.status = torallib_get_userinfo_from_name(dn, &info.type, guid, info.sid, &uid, &further);
  return info;
}

class Identity : public ::testing::Test {
 protected:
  void SetUp() override { toralsim_reset(); }
  void TearDown() override { toralsim_reset(); }
  // Sets the entry of `dn` (null: the default entry) to the reset values bent by `change`.
  static void set_identity(const char *dn, void (*change)(toralsim_identity &)) {
    toralsim_identity id;
    toralsim_reset_identity(&id);
    change(id);
    toralsim_set_identity(dn, &id);
  }
};

}  // namespace

TEST_F(Identity, DefaultUserIsASupervisorLookedUpByName) {
  const auto info = userinfo("cn=admin.o=org");
  ASSERT_EQ(info.status, 0);
  EXPECT_EQ(info.type, cifs::user_type_by_name);
  uint32_t capacity = 20;
  uint32_t supervisor = 0;
  std::vector<uint8_t> entries(20 * cifs::sev_entry_size);
  const auto name = utf16(u"cn=admin.o=org");
  EXPECT_EQ(torallib_get_sevlist_from_name(name.data(), &capacity, entries.data(), &supervisor), 0);
  EXPECT_EQ(supervisor, 1u);
  EXPECT_EQ(calls(), (std::vector<call>{{"userinfo", "cn=admin.o=org", 0},
                                        {"sevlist_from_name", "cn=admin.o=org", 20}}));
}

TEST_F(Identity, TooSmallCapacityIsAnsweredWithTheNeededOne) {
  set_identity("cn=big", [](toralsim_identity &id) { id.needed_capacity = 50; });
  const auto name = utf16(u"cn=big");
  uint32_t capacity = 20;
  uint32_t supervisor = 0;
  std::vector<uint8_t> entries(50 * cifs::sev_entry_size);
  EXPECT_EQ(torallib_get_sevlist_from_name(name.data(), &capacity, entries.data(), &supervisor),
            cifs::toral_buffer_too_small);
  EXPECT_EQ(capacity, 50u);
  EXPECT_EQ(supervisor, 0u);
  EXPECT_EQ(torallib_get_sevlist_from_name(name.data(), &capacity, entries.data(), &supervisor), 0);
  EXPECT_EQ(supervisor, 1u);
}

TEST_F(Identity, AlwaysTooSmallNeverSucceeds) {
  set_identity(nullptr, [](toralsim_identity &id) {
    id.always_too_small = 1;
    id.needed_capacity = 30;
  });
  const auto name = utf16(u"anyone");
  uint32_t capacity = 30;
  uint32_t supervisor = 0;
  std::vector<uint8_t> entries(30 * cifs::sev_entry_size);
  EXPECT_EQ(torallib_get_sevlist_from_name(name.data(), &capacity, entries.data(), &supervisor),
            cifs::toral_buffer_too_small);
  EXPECT_EQ(capacity, 30u);
}

TEST_F(Identity, NameIsDecodedFromUtf16BeforeTheLookup) {
  set_identity("cn=J\xc3\xa9r\xc3\xb4me\xe2\x82\xac", [](toralsim_identity &id) { id.sev_status = -77; });
  const auto name = utf16(u"cn=J\u00e9r\u00f4me\u20ac");
  uint32_t capacity = 20;
  uint32_t supervisor = 0;
  std::vector<uint8_t> entries(20 * cifs::sev_entry_size);
  EXPECT_EQ(torallib_get_sevlist_from_name(name.data(), &capacity, entries.data(), &supervisor), -77);
  EXPECT_EQ(calls().back().text, "cn=J\xc3\xa9r\xc3\xb4me\xe2\x82\xac");
}

TEST_F(Identity, SidLookupFindsTheUserThatUserinfoDescribed) {
  set_identity("cn=ad", [](toralsim_identity &id) {
    id.user_type = 2;
    id.supervisor = 0;
  });
  auto info = userinfo("cn=ad");
  ASSERT_EQ(info.status, 0);
  EXPECT_EQ(info.type, 2);
  uint32_t count = 0;
  void *list = nullptr;
  uint32_t supervisor = 7;
  ASSERT_EQ(torallib_get_sevlist_from_sid(info.sid, &count, &list, &supervisor), 0);
  EXPECT_GT(count, 0u);
  EXPECT_NE(list, nullptr);
  EXPECT_EQ(supervisor, 0u);
  std::free(list);
  EXPECT_EQ(calls().back(), (call{"sevlist_from_sid", "cn=ad", 0}));
}

TEST_F(Identity, ForeignSidAndConfiguredStatusesFail) {
  uint8_t zero_sid[72] = {};
  uint32_t count = 0;
  void *list = nullptr;
  uint32_t supervisor = 0;
  EXPECT_EQ(torallib_get_sevlist_from_sid(zero_sid, &count, &list, &supervisor), TORALSIM_UNKNOWN_SID);

  set_identity("cn=x", [](toralsim_identity &id) {
    id.sid_status = -5;
    id.userinfo_status = 0;
  });
  auto info = userinfo("cn=x");
  EXPECT_EQ(torallib_get_sevlist_from_sid(info.sid, &count, &list, &supervisor), -5);
  EXPECT_EQ(list, nullptr);

  set_identity("cn=x", [](toralsim_identity &id) { id.userinfo_status = -6; });
  EXPECT_EQ(userinfo("cn=x").status, -6);
  EXPECT_EQ(userinfo("cn=other").status, 0);
}

TEST_F(Identity, ResetForgetsEntriesButOldSidsStillResolve) {
  set_identity("cn=ad", [](toralsim_identity &id) { id.user_type = 2; });
  auto info = userinfo("cn=ad");
  toralsim_reset();
  EXPECT_TRUE(calls().empty());
  EXPECT_EQ(userinfo("cn=ad").type, 1);
  uint32_t count = 0;
  void *list = nullptr;
  uint32_t supervisor = 0;
  EXPECT_EQ(torallib_get_sevlist_from_sid(info.sid, &count, &list, &supervisor), 0);
  std::free(list);
}
