// The invalid users calls through the exported functions, as the module makes them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cifs_sim_status.h"
#include "mgmtclient/invalid_user_records.h"
#include "open_files_probe.h"
#include "sim_probe.h"

using simtest::page_fields;
using simtest::page_kind;
using simtest::request_page;

namespace {

constexpr uint32_t type_filter = cifs::filter_type_type;
constexpr uint32_t name_filter = cifs::filter_type_search_name;

struct listed_user {
  cifs::invalid_user_record header;
  std::string name, address;
};

struct user_listing : simtest::fetched {
  std::vector<listed_user> users;
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto &u : users) out.push_back(u.name);
    return out;
  }
};

user_listing list_users(page_fields fields) {
  fields.kind = page_kind::invalid_users;
  request_page page(fields);
  user_listing out{simtest::fetch(CIFSLIB_ListInvalidUsers, page.get()), {}};
  size_t at = 0;
  for (uint32_t i = 0; i < out.header.file_count && at + sizeof(cifs::invalid_user_record) <= out.object.size(); ++i) {
    listed_user u{};
    std::memcpy(&u.header, out.object.data() + at, sizeof u.header);
    const char *area = reinterpret_cast<const char *>(out.object.data() + at + sizeof u.header);
    u.name = area + u.header.user_name_offset;
    u.address = std::string(u.header.client_address, strnlen(u.header.client_address, sizeof u.header.client_address));
    at += sizeof u.header + u.header.strings_length;
    out.users.push_back(std::move(u));
  }
  return out;
}

// Users u0.. with the given states, in that order; texts kept alive here.
int32_t set_users(const std::vector<uint32_t> &states) {
  static std::vector<std::string> names;
  names.clear();
  for (size_t i = 0; i < states.size(); ++i) names.push_back("u" + std::to_string(i));
  std::vector<cifssim_invalid_user> users;
  for (size_t i = 0; i < states.size(); ++i)
    users.push_back({names[i].c_str(), states[i], i % 2 ? "10.1.0.1" : "fe80::2", static_cast<int64_t>(i) - 1});
  return cifssim_set_invalid_users(users.data(), users.size());
}

std::vector<std::string> cache() {
  std::vector<std::string> out;
  cifssim_visit_invalid_users(
      [](void *ctx, const cifssim_invalid_user *u) {
        static_cast<std::vector<std::string> *>(ctx)->push_back(std::string(u->name) + ":" + std::to_string(u->state));
      },
      &out);
  return out;
}

class InvalidUsers : public ::testing::Test {
 protected:
  void SetUp() override {
    cifssim_reset();
    cifssim_remove_shm_objects();
  }
  void TearDown() override {
    EXPECT_EQ(simtest::shm_objects(), std::vector<std::string>{}) << "every listing's object went to the caller";
    cifssim_remove_shm_objects();
    cifssim_reset();
  }
};

}  // namespace

TEST_F(InvalidUsers, MalformedRequestPagesAreRefusedByTheKindOfFault) {
  auto bent = [](page_fields fields, auto change) {
    fields.kind = page_kind::invalid_users;
    request_page p(fields);
    change(p);
    void *header = &header;
    const int32_t status = CIFSLIB_ListInvalidUsers(p.get(), &header);
    EXPECT_EQ(header, &header) << "the out-parameter is written on success only";
    return status;
  };
  const auto keep = [](request_page &) {};
  const page_fields typed{.match_type = cifs::match_type_any, .filters = {{type_filter, {"Invalid"}}}};
  EXPECT_EQ(bent({}, [](request_page &p) { simtest::write_u32(p.bytes(), 16, 4096); }), CIFSSIM_BAD_REQUEST);
  EXPECT_EQ(bent({.cookie = "c"}, [](request_page &p) { simtest::write_u32(p.bytes(), 8, 2); }), CIFSSIM_BAD_REQUEST);
  EXPECT_EQ(bent({.cookie = std::string(32, 'c')}, keep), CIFSSIM_BAD_REQUEST);
  EXPECT_EQ(bent({.cookie = std::string(31, 'c')}, keep), CIFSSIM_BAD_COOKIE) << "31 bytes pass the checks";
  EXPECT_EQ(bent(typed, [](request_page &p) { simtest::write_u32(p.bytes(), p.block_at() + 4, 4); }),
            CIFSSIM_BAD_FILTER);
  EXPECT_EQ(bent(typed, [](request_page &p) { p.bytes()[p.first_entry_at() + 4] += 1; }), CIFSSIM_BAD_REQUEST);
  // The "type" limit of this listing is 31 bytes, not the 7 of the open files.
  const auto type_pattern = [](size_t length) {
    return page_fields{.match_type = cifs::match_type_all, .filters = {{type_filter, {std::string(length, 't')}}}};
  };
  EXPECT_EQ(bent(type_pattern(32), keep), CIFSSIM_BAD_FILTER);
  EXPECT_EQ(list_users(type_pattern(31)).status, CIFSSIM_OK);
  EXPECT_EQ(CIFSLIB_ListInvalidUsers(nullptr, nullptr), CIFSSIM_NULL_ARGUMENT);
  EXPECT_EQ(CIFSLIB_ListInvalidUsers(request_page({.kind = page_kind::invalid_users}).get(), nullptr),
            CIFSSIM_NULL_ARGUMENT);

  const auto calls = simtest::mgmt_calls();
  ASSERT_FALSE(calls.empty());
  request_page sent({.cookie = std::string(32, 'c'), .kind = page_kind::invalid_users});
  EXPECT_EQ(calls[2].record, std::vector<uint8_t>(sent.bytes().begin(), sent.bytes().begin() + 20 + 33))
      << "the log keeps the header and the declared string area";
}

TEST_F(InvalidUsers, PagingWithTheCookieListsEveryUserOnce) {
  ASSERT_EQ(set_users(std::vector<uint32_t>(25, 2)), CIFSSIM_OK);
  std::vector<std::string> seen;
  std::optional<std::string> cookie;
  int pages = 0;
  do {
    const auto page = list_users({.limit = 7, .cookie = cookie});
    ASSERT_EQ(page.status, CIFSSIM_OK);
    for (const auto &name : page.names()) seen.push_back(name);
    cookie = page.cookie;
  } while (!cookie->empty() && ++pages < 10);
  EXPECT_EQ(pages, 3);
  ASSERT_EQ(seen.size(), 25u);
  for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], "u" + std::to_string(i));
}

TEST_F(InvalidUsers, ACookieSurvivesRemovalsAndResumesOnlyThisListing) {
  ASSERT_EQ(set_users(std::vector<uint32_t>(10, 2)), CIFSSIM_OK);
  const auto first = list_users({.limit = 3});
  ASSERT_EQ(first.names(), (std::vector<std::string>{"u0", "u1", "u2"}));
  ASSERT_EQ(CIFSLIB_RemoveInvalidUser("u2"), CIFSSIM_OK);
  ASSERT_EQ(CIFSLIB_RemoveInvalidUser("U4"), CIFSSIM_OK);
  EXPECT_EQ(list_users({.ignore = 1, .limit = 2, .cookie = first.cookie}).names(),
            (std::vector<std::string>{"u5", "u6"}));

  const auto files = simtest::list({.volume = "DATA", .limit = 1});
  ASSERT_FALSE(files.cookie.empty());
  EXPECT_EQ(list_users({.cookie = files.cookie}).status, CIFSSIM_BAD_COOKIE) << "an open files cookie";
  EXPECT_EQ(simtest::list({.volume = "DATA", .cookie = first.cookie}).status, CIFSSIM_BAD_COOKIE);
  ASSERT_EQ(set_users({2, 2}), CIFSSIM_OK);
  EXPECT_EQ(list_users({.cookie = first.cookie}).names(), (std::vector<std::string>{"u0", "u1"}))
      << "a cookie issued before the cache was replaced resumes at the new cache's start";
}

TEST_F(InvalidUsers, FiltersTellInvalidFromBlockedByState) {
  ASSERT_EQ(set_users({2, 0, 1, 3, 2}), CIFSSIM_OK);
  using texts = std::vector<std::string>;
  struct filter_case {
    uint32_t match;
    std::vector<simtest::filter_spec> filters;
    texts expected;
  };
  const std::vector<filter_case> cases = {
      {cifs::match_type_all, {{type_filter, {"Invalid"}}}, {"u0", "u4"}},
      {cifs::match_type_all, {{type_filter, {"BLOCKED"}}}, {"u1", "u2", "u3"}},
      {cifs::match_type_none, {{type_filter, {"invalid"}}}, {"u1", "u2", "u3"}},
      {cifs::match_type_any, {{name_filter, {"10.1."}}, {type_filter, {"invalid"}}}, {"u0", "u1", "u3", "u4"}},
      {cifs::match_type_all, {{name_filter, {"U3", "u4"}}}, {"u3", "u4"}},
      {cifs::match_type_any, {}, {}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const auto page = list_users({.match_type = cases[i].match, .filters = cases[i].filters});
    EXPECT_EQ(page.status, CIFSSIM_OK) << "case " << i;
    EXPECT_EQ(page.names(), cases[i].expected) << "case " << i;
  }
}

TEST_F(InvalidUsers, TheResultIsAHeaderAndAnObjectOfExactlyTheRecords) {
  const cifssim_invalid_user users[] = {{"a", 2, "255.255.255.255", -5}, {"second", 7, nullptr, 1700000000}};
  ASSERT_EQ(cifssim_set_invalid_users(users, 2), CIFSSIM_OK);
  const auto page = list_users({});
  ASSERT_EQ(page.users.size(), 2u);
  EXPECT_EQ(page.cookie, "");
  EXPECT_EQ(page.object.size(), page.header.shm_size);
  EXPECT_EQ(page.object.size(), 2 * sizeof(cifs::invalid_user_record) + 2 + 7);
  EXPECT_TRUE(page.unlinked);
  const auto &first = page.users[0];
  EXPECT_EQ(first.header.state, 2u);
  EXPECT_EQ(first.header.last_attempt_time, -5);
  EXPECT_EQ(first.address, "255.255.255.255");
  EXPECT_EQ(first.header.user_name_offset, 0u);
  EXPECT_EQ(first.header.strings_length, 2u);
  EXPECT_EQ(page.users[1].name, "second");
  EXPECT_EQ(page.users[1].address, "");

  ASSERT_EQ(cifssim_set_invalid_users(nullptr, 0), CIFSSIM_OK);
  const auto none = list_users({});
  EXPECT_EQ(none.status, CIFSSIM_OK);
  EXPECT_EQ(none.header.shm_size, 0u);
  EXPECT_TRUE(none.unlinked) << "an empty cache still has its (empty) object";
}

TEST_F(InvalidUsers, AddMakeAndRemoveAnswerByWhatTheCacheHolds) {
  ASSERT_EQ(set_users({2, 1, 0}), CIFSSIM_OK);
  const std::string too_long(256, 'n');
  struct step {
    int32_t (*call)(const char *);
    const char *name;
    int32_t status;
  };
  const std::vector<step> steps = {
      {CIFSLIB_MakePermanentInvalidUser, "nobody", CIFSSIM_NO_SUCH_USER},
      {CIFSLIB_MakePermanentInvalidUser, "u1", CIFSSIM_ALREADY_BLOCKED},
      {CIFSLIB_MakePermanentInvalidUser, "u2", CIFSSIM_ALREADY_BLOCKED},
      {CIFSLIB_MakePermanentInvalidUser, "U0", CIFSSIM_OK},
      {CIFSLIB_MakePermanentInvalidUser, "u0", CIFSSIM_ALREADY_BLOCKED},
      {CIFSLIB_AddPermanentInvalidUser, "u1", CIFSSIM_ALREADY_BLOCKED},
      {CIFSLIB_AddPermanentInvalidUser, "new", CIFSSIM_OK},
      {CIFSLIB_AddPermanentInvalidUser, "", CIFSSIM_BAD_USER_NAME},
      {CIFSLIB_AddPermanentInvalidUser, too_long.c_str(), CIFSSIM_BAD_USER_NAME},
      {CIFSLIB_RemoveInvalidUser, "u1", CIFSSIM_OK},
      {CIFSLIB_RemoveInvalidUser, "u1", CIFSSIM_NO_SUCH_USER},
      {CIFSLIB_RemoveInvalidUser, nullptr, CIFSSIM_NULL_ARGUMENT},
  };
  for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(steps[i].call(steps[i].name), steps[i].status) << "step " << i;
  EXPECT_EQ(cache(), (std::vector<std::string>{"u0:1", "u2:0", "new:1"}));
}
