// Connection calls, and the connection form of the open files listing,
// through the exported functions as the module makes them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cifs_sim_status.h"
#include "mgmtclient/connection_records.h"
#include "open_files_probe.h"
#include "sim_probe.h"

namespace {

using record = cifs::connection_record;

class ConnectionCalls : public ::testing::Test {
 protected:
  void SetUp() override { cifssim_reset(); }
  void TearDown() override {
    EXPECT_EQ(simtest::shm_objects(), std::vector<std::string>{});
    cifssim_remove_shm_objects();
    cifssim_reset();
  }
};

// Connection n maps `mapped`; texts kept alive by the caller's literals.
cifssim_connection connection(uint16_t number, std::vector<const char *> *mapped = nullptr,
                              std::vector<const char *> *sevs = nullptr) {
  cifssim_connection c{};
  c.number = number;
  c.user_name = "user";
  c.client_address = "192.168.100.100";
  if (mapped) {
    c.mapped_shares = mapped->data();
    c.mapped_share_count = mapped->size();
  }
  if (sevs) {
    c.security_equivalences = sevs->data();
    c.security_equivalence_count = sevs->size();
  }
  return c;
}

// Files f<i> on `shares[i]`, held open by sessions[i].
int32_t set_files(const std::vector<const char *> &shares, const std::vector<uint32_t> &sessions) {
  static std::vector<std::string> names;
  names.clear();
  for (size_t i = 0; i < shares.size(); ++i) names.push_back("f" + std::to_string(i));
  std::vector<cifssim_open_file> files;
  for (size_t i = 0; i < shares.size(); ++i)
    files.push_back({shares[i], sessions[i], static_cast<uint32_t>(i), 0, 0, names[i].c_str(), nullptr, nullptr, nullptr});
  return cifssim_set_open_files(files.data(), files.size());
}

std::vector<record> list_connections() {
  void *block = nullptr;
  if (CIFSLIB_GetConnectionsList(&block) != CIFSSIM_OK) return {};
  uint32_t count = 0;
  std::memcpy(&count, block, sizeof count);
  std::vector<record> out(count);
  std::memcpy(out.data(), static_cast<const uint8_t *>(block) + sizeof(cifs::connection_list_header),
              count * sizeof(record));
  std::free(block);
  return out;
}

struct details_answer {
  int32_t status;
  record filled;
  std::vector<std::string> sevs;
  bool texts_null;
};

details_answer details(const char *number) {
  record r{};
  char *texts = nullptr;
  details_answer out{CIFSLIB_GetConnectionDetails(number, &r, &texts), r, {}, texts == nullptr};
  const char *next = texts;
  for (int32_t i = 0; texts && i < r.security_equivalence_count; ++i, next += out.sevs.back().size() + 1)
    out.sevs.emplace_back(next);
  std::free(texts);
  return out;
}

std::vector<uint32_t> ids(const simtest::listing &l) {
  std::vector<uint32_t> out;
  for (const auto &f : l.files) out.push_back(f.header.file_id);
  return out;
}

}  // namespace

TEST_F(ConnectionCalls, TheListBlockHoldsTheRecordsBackToBackWithDerivedCounts) {
  std::vector<const char *> mapped = {"home", "SYS"};
  const cifssim_connection set[] = {connection(9, &mapped), connection(65535)};
  ASSERT_EQ(cifssim_set_connections(set, 2), CIFSSIM_OK);
  ASSERT_EQ(set_files({"home", "SYS", "home", "DATA"}, {9, 9, 3, 9}), CIFSSIM_OK);
  uint32_t count = 0;
  ASSERT_EQ(CIFSLIB_GetConnectionsCount(&count), CIFSSIM_OK);
  EXPECT_EQ(count, 2u);
  auto list = list_connections();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].connection_number, 9);
  EXPECT_EQ(list[0].open_files_count, 3u) << "every file of session 9, on any share";
  EXPECT_EQ(list[0].mapped_shares_count, 2);
  EXPECT_EQ(list[0].security_equivalence_count, 0);
  EXPECT_STREQ(list[0].client_address, "192.168.100.100");
  EXPECT_EQ(list[1].connection_number, 65535);

  // A share the model lost stops counting as mapped.
  cifssim_share home{};
  home.name = "home";
  ASSERT_EQ(cifssim_set_shares(&home, 1), CIFSSIM_OK);
  EXPECT_EQ(list_connections()[0].mapped_shares_count, 1);
}

TEST_F(ConnectionCalls, NumberTextsTheModuleNeverWritesAreRefused) {
  std::vector<const char *> sevs = {".a.org", "", ".b.org"};
  const cifssim_connection set[] = {connection(1, nullptr, &sevs), connection(0)};
  ASSERT_EQ(cifssim_set_connections(set, 2), CIFSSIM_OK);
  for (const char *text : {"", "01", "00", "-1", "+1", "1 ", " 1", "1a", "0x1", "1000000"})
    EXPECT_EQ(details(text).status, CIFSSIM_BAD_CONNECTION_NUMBER) << '"' << text << '"';
  for (const char *text : {"2", "65537", "999999"})
    EXPECT_EQ(details(text).status, CIFSSIM_NO_SUCH_CONNECTION) << text << " is not read modulo 65536";
  EXPECT_EQ(details("0").status, CIFSSIM_OK);

  void *block = nullptr;
  EXPECT_EQ(CIFSLIB_GetConnectionMappedShares("65537", &block), CIFSSIM_NO_SUCH_CONNECTION);
  EXPECT_EQ(CIFSLIB_GetConnectionMappedShares("x", &block), CIFSSIM_BAD_CONNECTION_NUMBER);
  EXPECT_EQ(block, nullptr);

  record dirty{};
  dirty.unused1[8] = 1;
  char *texts = nullptr;
  EXPECT_EQ(CIFSLIB_GetConnectionDetails("1", &dirty, &texts), CIFSSIM_BAD_RECORD) << "the record must come zeroed";
  EXPECT_EQ(dirty.connection_number, 0) << "and is left as it came";
  EXPECT_EQ(CIFSLIB_GetConnectionDetails("1", nullptr, &texts), CIFSSIM_NULL_ARGUMENT);
  EXPECT_EQ(CIFSLIB_GetConnectionDetails("1", &dirty, nullptr), CIFSSIM_NULL_ARGUMENT);
  EXPECT_EQ(texts, nullptr);

  const auto calls = simtest::mgmt_calls();
  const auto &refused = calls[calls.size() - 3];
  EXPECT_EQ(refused.text, "1");
  ASSERT_EQ(refused.record.size(), sizeof(record)) << "the record as received is logged";
  EXPECT_EQ(refused.record[325], 1);
}

TEST_F(ConnectionCalls, DetailsFillTheRecordAndHandOutTheTexts) {
  std::vector<const char *> sevs = {".a.org", "", ".b.org"};
  const cifssim_connection set[] = {connection(1, nullptr, &sevs), connection(2)};
  ASSERT_EQ(cifssim_set_connections(set, 2), CIFSSIM_OK);
  const auto one = details("1");
  ASSERT_EQ(one.status, CIFSSIM_OK);
  EXPECT_EQ(one.filled.security_equivalence_count, 3);
  EXPECT_EQ(one.sevs, (std::vector<std::string>{".a.org", "", ".b.org"}));
  EXPECT_STREQ(one.filled.user_name, "user");
  const auto two = details("2");
  ASSERT_EQ(two.status, CIFSSIM_OK);
  EXPECT_EQ(two.filled.security_equivalence_count, 0);
  EXPECT_TRUE(two.texts_null) << "no texts: a null pointer, not an empty block";
}

TEST_F(ConnectionCalls, MappedSharesCarryTheConnectionsOwnOpenFiles) {
  std::vector<const char *> mapped = {"SYS", "home", "projects"};
  const cifssim_connection set[] = {connection(4, &mapped)};
  ASSERT_EQ(cifssim_set_connections(set, 1), CIFSSIM_OK);
  ASSERT_EQ(set_files({"home", "home", "SYS", "home"}, {4, 5, 4, 4}), CIFSSIM_OK);
  void *block = nullptr;
  ASSERT_EQ(CIFSLIB_GetConnectionMappedShares("4", &block), CIFSSIM_OK);
  const auto shares = simtest::read_share_list(block);
  std::free(block);
  ASSERT_EQ(shares.size(), 3u);
  EXPECT_EQ(shares[0].name, "SYS");
  EXPECT_EQ(shares[0].header.open_files_count, 1u);
  EXPECT_EQ(shares[1].name, "home");
  EXPECT_EQ(shares[1].header.open_files_count, 2u) << "session 5's file is not this connection's";
  EXPECT_EQ(shares[1].absolute_path, "/HOME/users");
  EXPECT_EQ(shares[2].header.open_files_count, 0u);
}

TEST_F(ConnectionCalls, TheConnectionFormListsTheFilesOfThatConnectionOnly) {
  const cifssim_connection set[] = {connection(1), connection(2), connection(3)};
  ASSERT_EQ(cifssim_set_connections(set, 3), CIFSSIM_OK);
  ASSERT_EQ(set_files({"home", "SYS", "DATA", "home", "SYS", "home", "DATA"}, {1, 2, 1, 1, 1, 2, 1}), CIFSSIM_OK);
  const auto all = simtest::list({.volume = std::nullopt, .connection = 1});
  ASSERT_EQ(all.status, CIFSSIM_OK);
  EXPECT_EQ(ids(all), (std::vector<uint32_t>{0, 2, 3, 4, 6}));
  EXPECT_EQ(all.files[1].share, "DATA") << "every file carries its share name";
  EXPECT_EQ(simtest::list({.volume = std::nullopt, .connection = 3}).files.size(), 0u);

  const auto first = simtest::list({.volume = std::nullopt, .connection = 1, .limit = 2});
  EXPECT_EQ(ids(first), (std::vector<uint32_t>{0, 2}));
  const auto rest = simtest::list({.volume = std::nullopt, .connection = 1, .ignore = 1, .cookie = first.cookie});
  EXPECT_EQ(ids(rest), (std::vector<uint32_t>{4, 6}));
  EXPECT_EQ(simtest::list({.volume = std::nullopt, .connection = 2, .cookie = first.cookie}).status,
            CIFSSIM_BAD_COOKIE)
      << "a cookie resumes the connection that it was issued for";
  EXPECT_EQ(simtest::list({.volume = "home", .cookie = first.cookie}).status, CIFSSIM_BAD_COOKIE);
  const auto filtered = simtest::list({.volume = std::nullopt,
                                       .connection = 1,
                                       .match_type = cifs::match_type_none,
                                       .filters = {{cifs::filter_type_search_name, {"f0", "f6"}}}});
  EXPECT_EQ(ids(filtered), (std::vector<uint32_t>{2, 3, 4}));

  EXPECT_EQ(simtest::list({.volume = std::nullopt, .connection = 65537}).status, CIFSSIM_NO_SUCH_CONNECTION);
  EXPECT_EQ(simtest::list({.volume = "home", .connection = 1}).status, CIFSSIM_BAD_REQUEST)
      << "a volume and a connection in one request";
  EXPECT_EQ(simtest::mgmt_calls().front().text, "1") << "the connection form is logged by its number";
}
