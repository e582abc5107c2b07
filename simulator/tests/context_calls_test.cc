// User context calls through the exported functions: what they refuse, and
// a raw result handed out once as given.
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

TEST_F(ContextCalls, TextCallsRefuseWhatTheyCannotUse) {
  EXPECT_EQ(CIFSLIB_RemoveUserContext(".none.org"), CIFSSIM_NO_SUCH_CONTEXT) << "a cut or bent text is caught";
  EXPECT_EQ(CIFSLIB_AddUserContext(""), CIFSSIM_EMPTY_CONTEXT);
  EXPECT_EQ(CIFSLIB_AddUserContext(nullptr), CIFSSIM_NULL_ARGUMENT);
  EXPECT_EQ(CIFSLIB_RemoveUserContext(nullptr), CIFSSIM_NULL_ARGUMENT);
  EXPECT_EQ(list_contexts().size(), 3u);
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
