// Connection calls through the exported functions, as the module makes them:
// what they refuse.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cifs_sim_status.h"
#include "mgmtclient/connection_records.h"
#include "sim_probe.h"

namespace {

class ConnectionCalls : public ::testing::Test {
 protected:
  void SetUp() override { cifssim_reset(); }
  void TearDown() override { cifssim_reset(); }
};

int32_t details(const char *number) {
  cifs::connection_record r{};
  char *texts = nullptr;
  const int32_t status = CIFSLIB_GetConnectionDetails(number, &r, &texts);
  std::free(texts);
  return status;
}

}  // namespace

TEST_F(ConnectionCalls, NumberTextsTheModuleNeverWritesAreRefused) {
  cifssim_connection set[2] = {};
  set[0].number = 1;
  ASSERT_EQ(cifssim_set_connections(set, 2), CIFSSIM_OK);
  for (const char *text : {"", "01", "00", "-1", "+1", "1 ", " 1", "1a", "0x1", "1000000"})
    EXPECT_EQ(details(text), CIFSSIM_BAD_CONNECTION_NUMBER) << '"' << text << '"';
  for (const char *text : {"2", "65537", "999999"})
    EXPECT_EQ(details(text), CIFSSIM_NO_SUCH_CONNECTION) << text << " is not read modulo 65536";
  EXPECT_EQ(details("0"), CIFSSIM_OK);

  void *block = nullptr;
  EXPECT_EQ(CIFSLIB_GetConnectionMappedShares("x", &block), CIFSSIM_BAD_CONNECTION_NUMBER);
  EXPECT_EQ(block, nullptr);

  cifs::connection_record dirty{};
  dirty.unused1[8] = 1;
  char *texts = nullptr;
  EXPECT_EQ(CIFSLIB_GetConnectionDetails("1", &dirty, &texts), CIFSSIM_BAD_RECORD) << "the record must come zeroed";
  EXPECT_EQ(dirty.connection_number, 0) << "and is left as it came";
  EXPECT_EQ(CIFSLIB_GetConnectionDetails("1", nullptr, &texts), CIFSSIM_NULL_ARGUMENT);
  EXPECT_EQ(CIFSLIB_GetConnectionDetails("1", &dirty, nullptr), CIFSSIM_NULL_ARGUMENT);
  EXPECT_EQ(texts, nullptr);
}
