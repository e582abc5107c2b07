// The one raw result entry, on the calls that only it reaches: hand-made
// bytes go out exactly as given, once, and the entry refuses what a call
// could not hand out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cifs_sim_status.h"
#include "mgmtclient/connection_records.h"
#include "open_files_probe.h"
#include "sim_probe.h"

using simtest::bytes_out;
using simtest::null_out;
using simtest::raw_result;

namespace {

class RawResults : public ::testing::Test {
 protected:
  void SetUp() override { cifssim_reset(); }
  void TearDown() override {
    EXPECT_EQ(simtest::shm_objects(), std::vector<std::string>{});
    cifssim_remove_shm_objects();
    cifssim_reset();
  }
};

}  // namespace

TEST_F(RawResults, BlocksGoOutAsGivenForOneCallOnly) {
  // A list block whose count claims two records but holds half of one.
  const std::vector<uint8_t> block = {2, 0, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE, 7, 0};
  ASSERT_EQ(raw_result("CIFSLIB_GetConnectionsList", 5, {bytes_out(block)}), CIFSSIM_OK);
  void *out = nullptr;
  EXPECT_EQ(CIFSLIB_GetConnectionsList(&out), 5) << "a failing status still hands out the block";
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t *>(out), static_cast<uint8_t *>(out) + block.size()), block);
  std::free(out);
  ASSERT_EQ(CIFSLIB_GetConnectionsList(&out), CIFSSIM_OK);
  uint32_t count = 0;
  std::memcpy(&count, out, sizeof count);
  EXPECT_EQ(count, 5u) << "the next call lists the model again";
  std::free(out);

  ASSERT_EQ(raw_result("CIFSLIB_GetConnectionMappedShares", 0, {}), CIFSSIM_OK);
  out = &out;
  EXPECT_EQ(CIFSLIB_GetConnectionMappedShares("not even a number", &out), CIFSSIM_OK);
  EXPECT_EQ(out, nullptr) << "missing outs are null pointers, whatever the request";
}

TEST_F(RawResults, CallerMemoryGetsTheBytesAndNothingMore) {
  cifs::connection_record given{};
  given.connection_number = 7;
  given.security_equivalence_count = -2;
  std::memset(given.user_name, 'u', sizeof given.user_name);  // no NUL inside the field
  std::vector<uint8_t> record(sizeof given);
  std::memcpy(record.data(), &given, sizeof given);
  const std::vector<uint8_t> texts = {'a', 0, 'b'};
  ASSERT_EQ(raw_result("CIFSLIB_GetConnectionDetails", 0, {bytes_out(record), bytes_out(texts)}), CIFSSIM_OK);
  cifs::connection_record filled{};
  char *out = nullptr;
  ASSERT_EQ(CIFSLIB_GetConnectionDetails("7", &filled, &out), CIFSSIM_OK);
  EXPECT_EQ(std::memcmp(&filled, &given, sizeof given), 0);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(std::memcmp(out, texts.data(), texts.size()), 0);

  const std::vector<uint8_t> short_count = {9, 9};
  ASSERT_EQ(raw_result("CIFSLIB_GetConnectionsCount", 0, {bytes_out(short_count)}), CIFSSIM_OK);
  uint32_t count = 0xAAAAAAAA;
  ASSERT_EQ(CIFSLIB_GetConnectionsCount(&count), CIFSSIM_OK);
  EXPECT_EQ(count, 0xAAAA0909u) << "two bytes written, two left as they were";

  ASSERT_EQ(raw_result("CIFSLIB_GetConnectionDetails", -1, {null_out(), null_out()}), CIFSSIM_OK);
  filled = {};
  out = reinterpret_cast<char *>(&out);
  EXPECT_EQ(CIFSLIB_GetConnectionDetails("7", &filled, &out), -1);
  EXPECT_EQ(filled.connection_number, 0) << "a null out leaves caller memory alone";
  EXPECT_EQ(out, nullptr);
}

TEST_F(RawResults, TheEntryRefusesWhatACallCouldNotHandOut) {
  const std::vector<uint8_t> too_long(sizeof(cifs::connection_record) + 1, 0), four(4, 0), five(5, 0);
  const cifssim_slot slots[] = {{CIFSSIM_SLOT_END, nullptr, 0}};
  const cifssim_out bad_kind{9, nullptr, 0, nullptr, 0, 0, 0};
  struct refusal {
    const char *call;
    std::vector<cifssim_out> outs;
    const char *shm_name;
  };
  const std::vector<refusal> refusals = {
      {"CIFSLIB_RemoveShare", {}, nullptr},
      {"CIFSLIB_Nope", {}, nullptr},
      {"CIFSLIB_GetConnectionsList", {null_out(), null_out()}, nullptr},
      {"CIFSLIB_GetConnectionsList", {simtest::slots_out(slots)}, nullptr},
      {"CIFSLIB_GetConnectionDetails", {bytes_out(too_long)}, nullptr},
      {"CIFSLIB_GetConnectionsCount", {bytes_out(five)}, nullptr},
      {"CIFSLIB_ListUserContexts", {bad_kind}, nullptr},
      {"CIFSLIB_GetConnectionsList", {}, "/cifssim.x"},
      {"CIFSLIB_ListInvalidUsers", {}, "no-slash"},
  };
  for (const auto &r : refusals) {
    const cifssim_shm shm{r.shm_name, nullptr, 0, CIFSSIM_SHM_OBJECT, -1};
    EXPECT_EQ(cifssim_raw_result(r.call, 0, r.outs.data(), r.outs.size(), r.shm_name ? &shm : nullptr),
              CIFSSIM_BAD_ARGUMENT)
        << r.call << " with " << r.outs.size() << " outs";
  }
  EXPECT_EQ(raw_result("CIFSLIB_GetConnectionMappedShares", 0, {simtest::slots_out(slots, 3)}), CIFSSIM_OK);
  EXPECT_EQ(raw_result("CIFSLIB_GetConnectionsCount", 0, {bytes_out(four)}), CIFSSIM_OK);
  void *block = nullptr;
  ASSERT_EQ(CIFSLIB_GetConnectionMappedShares("1", &block), CIFSSIM_OK);
  uint32_t count = 0;
  std::memcpy(&count, block, sizeof count);
  EXPECT_EQ(count, 3u);
  std::free(block);
}
