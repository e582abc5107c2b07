// The invalid users calls through the exported functions, as the module makes
// them: what they refuse.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cifs_sim_status.h"
#include "open_files_probe.h"

using simtest::page_fields;
using simtest::page_kind;
using simtest::request_page;

namespace {

constexpr uint32_t type_filter = cifs::filter_type_type;

class InvalidUsers : public ::testing::Test {
 protected:
  void SetUp() override {
    cifssim_reset();
    cifssim_remove_shm_objects();
  }
  void TearDown() override {
    EXPECT_EQ(simtest::shm_objects(), std::vector<std::string>{});
    cifssim_remove_shm_objects();
    cifssim_reset();
  }
};

page_fields type_pattern(size_t length) {
  return page_fields{.match_type = cifs::match_type_all,
                     .filters = {{type_filter, {std::string(length, 't')}}},
                     .kind = page_kind::invalid_users};
}

}  // namespace

// The filter block is read by the code the open files listing shares, and its
// refusals are tried there; here only what this request lays out its own way.
TEST_F(InvalidUsers, MalformedRequestPagesAreRefusedByTheKindOfFault) {
  const auto keep = [](request_page &) {};
  struct bend_case {
    const char *what;
    page_fields fields;
    std::function<void(request_page &)> change;
    int32_t status;
  };
  const std::vector<bend_case> cases = {
      {"strings length past the page", {}, [](request_page &p) { simtest::write_u32(p.bytes(), 16, 4096); },
       CIFSSIM_BAD_REQUEST},
      {"cookie offset outside the area", {.cookie = "c"}, [](request_page &p) { simtest::write_u32(p.bytes(), 8, 2); },
       CIFSSIM_BAD_REQUEST},
      {"cookie over 31 bytes", {.cookie = std::string(32, 'c')}, keep, CIFSSIM_BAD_REQUEST},
      // The "type" limit of this listing is 31 bytes, not the 7 of the open files.
      {"type pattern over 31 bytes", type_pattern(32), keep, CIFSSIM_BAD_FILTER},
      {"cookie of 31 bytes", {.cookie = std::string(31, 'c')}, keep, CIFSSIM_BAD_COOKIE},
  };
  for (auto c : cases) {
    c.fields.kind = page_kind::invalid_users;
    request_page p(c.fields);
    c.change(p);
    void *header = &header;
    EXPECT_EQ(CIFSLIB_ListInvalidUsers(p.get(), &header), c.status) << c.what;
    EXPECT_EQ(header, &header) << c.what << ": the out-parameter is written on success only";
  }
  request_page passes(type_pattern(31));
  EXPECT_EQ(simtest::fetch(CIFSLIB_ListInvalidUsers, passes.get()).status, CIFSSIM_OK);
  EXPECT_EQ(CIFSLIB_ListInvalidUsers(nullptr, nullptr), CIFSSIM_NULL_ARGUMENT);
  EXPECT_EQ(CIFSLIB_ListInvalidUsers(request_page({.kind = page_kind::invalid_users}).get(), nullptr),
            CIFSSIM_NULL_ARGUMENT);
}

TEST_F(InvalidUsers, NamesNoCacheEntryCouldHaveAreRefused) {
  const std::string too_long(256, 'n');
  struct bad_name {
    int32_t (*call)(const char *);
    const char *name;
    int32_t status;
  };
  const std::vector<bad_name> cases = {
      {CIFSLIB_AddPermanentInvalidUser, "", CIFSSIM_BAD_USER_NAME},
      {CIFSLIB_AddPermanentInvalidUser, too_long.c_str(), CIFSSIM_BAD_USER_NAME},
      {CIFSLIB_RemoveInvalidUser, nullptr, CIFSSIM_NULL_ARGUMENT},
  };
  for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(cases[i].call(cases[i].name), cases[i].status) << "case " << i;
}
