// User context calls through the exported functions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cifs_sim_status.h"
#include "sim_probe.h"

namespace {

class ContextCalls : public ::testing::Test {
 protected:
  void SetUp() override { cifssim_reset(); }
  void TearDown() override { cifssim_reset(); }
};

// Lists through the library and walks the block as the addon does.
std::vector<std::string> list_contexts() {
  uint32_t *count = nullptr;
  char *block = nullptr;
  EXPECT_EQ(CIFSLIB_ListUserContexts(&count, &block), CIFSSIM_OK);
  std::vector<std::string> out;
  const char *at = block;
  for (uint32_t i = 0; count && block && i < *count; ++i) {
    out.emplace_back(at);
    at += out.back().size() + 1;
  }
  std::free(count);
  std::free(block);
  return out;
}

}  // namespace

TEST_F(ContextCalls, ListingHoldsTheSeedBackToBack) {
  EXPECT_EQ(list_contexts(), (std::vector<std::string>{".users.org", ".staff.users.org", ".admins.org"}));
}

TEST_F(ContextCalls, AddAppendsAndRefusesRepeatsAndEmptyTexts) {
  EXPECT_EQ(CIFSLIB_AddUserContext(".new.org"), CIFSSIM_OK);
  EXPECT_EQ(CIFSLIB_AddUserContext(".NEW.org"), CIFSSIM_CONTEXT_EXISTS);
  EXPECT_EQ(CIFSLIB_AddUserContext(""), CIFSSIM_EMPTY_CONTEXT);
  EXPECT_EQ(CIFSLIB_AddUserContext(nullptr), CIFSSIM_NULL_ARGUMENT);
  EXPECT_EQ(list_contexts().back(), ".new.org");
  EXPECT_EQ(list_contexts().size(), 4u);
}

TEST_F(ContextCalls, RemoveNeedsAConfiguredContext) {
  EXPECT_EQ(CIFSLIB_RemoveUserContext(".staff.users.org"), CIFSSIM_OK);
  EXPECT_EQ(CIFSLIB_RemoveUserContext(".staff.users.org"), CIFSSIM_NO_SUCH_CONTEXT);
  EXPECT_EQ(list_contexts(), (std::vector<std::string>{".users.org", ".admins.org"}));
}

TEST_F(ContextCalls, EmptyListStillHandsOutTwoBlocks) {
  ASSERT_EQ(cifssim_set_contexts(nullptr, 0), CIFSSIM_OK);
  uint32_t *count = nullptr;
  char *block = nullptr;
  ASSERT_EQ(CIFSLIB_ListUserContexts(&count, &block), CIFSSIM_OK);
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(*count, 0u);
  EXPECT_NE(block, nullptr);
  std::free(count);
  std::free(block);
}

TEST_F(ContextCalls, RawResultMayHoldNullPointers) {
  const std::vector<uint8_t> lying = {9, 0, 0, 0};
  ASSERT_EQ(simtest::raw_result("CIFSLIB_ListUserContexts", 0, {simtest::bytes_out(lying), simtest::null_out()}),
            CIFSSIM_OK);
  uint32_t *count = nullptr;
  char *block = reinterpret_cast<char *>(1);
  ASSERT_EQ(CIFSLIB_ListUserContexts(&count, &block), CIFSSIM_OK);
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(*count, 9u);
  EXPECT_EQ(block, nullptr);
  std::free(count);
  EXPECT_EQ(list_contexts().size(), 3u);
}

TEST_F(ContextCalls, TextCallsAreLoggedWithTheirText) {
  ASSERT_EQ(cifssim_fail("CIFSLIB_RemoveUserContext", 7, ".users.org", 0), CIFSSIM_OK);
  EXPECT_EQ(CIFSLIB_RemoveUserContext(".users.org"), 7);
  EXPECT_EQ(CIFSLIB_RemoveUserContext(".admins.org"), CIFSSIM_OK);
  const auto calls = simtest::mgmt_calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].text, ".users.org");
  EXPECT_FALSE(calls[0].has_record);
  EXPECT_EQ(calls[1].text, ".admins.org");
}
