// What the simulated management library hands out, byte for byte, against
// bytes written by hand from the record tables, in every choice it can take;
// and the ownership it promises: what it keeps aborts a caller that frees it.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "cifs_sim_status.h"
#include "cifssim_control.h"
#include "golden.h"
#include "mgmt/cifslib_calls.h"

using golden::bytes;
using golden::put;

namespace {

class Writers : public ::testing::Test {
 protected:
  void SetUp() override {
    cifssim_reset();
    cifssim_remove_shm_objects();
  }
  void TearDown() override {
    cifssim_remove_shm_objects();
    cifssim_reset();
  }
  static void choose(uint8_t shares_inside, uint8_t connections_inside, uint32_t slack) {
    const cifssim_choices c{shares_inside, connections_inside, slack};
    ASSERT_EQ(cifssim_set_choices(&c), CIFSSIM_OK);
  }
};

// Share "ab" on volume V, path p, type 2, name space 4, encryption and ATM
// backup on, 7 open files, and its record as the table lays it out.
void set_one_share() {
  ASSERT_EQ(golden::set_section("shares", "share\tab\tV\tp\t\t\t2\t4\t1\t0\t1\t7\n"), CIFSSIM_OK);
}
const bytes share_record = {
    0x02, 0x00, 0x00, 0x00,  // type 2, unused
    0x00, 0x00, 0x00, 0x00,  // change mask
    0x04, 0x00, 0x00, 0x00,  // name space 4
    0x01, 0x00, 0x01, 0x00,  // encryption, folder redirection, ATM backup, unused
    0x00, 0x00, 0x00, 0x00,  // name at 0: "ab"
    0x03, 0x00, 0x00, 0x00,  // volume at 3: "V"
    0x05, 0x00, 0x00, 0x00,  // comment at 5: ""
    0x06, 0x00, 0x00, 0x00,  // relative path at 6: "p"
    0x08, 0x00, 0x00, 0x00,  // absolute path at 8: "/V/p"
    0xFF, 0xFF, 0xFF, 0xFF,  // no new name
    0x07, 0x00, 0x00, 0x00,  // open files
    0x0D, 0x00, 0x00, 0x00,  // strings length 13
    'a', 'b', 0, 'V', 0, 0, 'p', 0, '/', 'V', '/', 'p', 0,
};

// Connection 7 with every field set, and its 418-byte record.
void set_one_connection() {
  ASSERT_EQ(golden::set_section("open-files", ""), CIFSSIM_OK);
  // Requests 0x01020304, 2^40 bytes read.
  ASSERT_EQ(golden::set_section("connections",
                                "connection\t7\tcarol\tfe80::7\tSMB 2.1\tIdle\tUser\t-2\t1\t16909060\t1099511627776"
                                "\t5\t1700000000\n"
                                "security-equivalence\t.a\nsecurity-equivalence\t.bc\n"
                                "connection\t8\t\t\t\t\t\t0\t0\t0\t0\t0\t0\n"),
            CIFSSIM_OK);
}
bytes connection_record() {
  bytes r(418, 0);
  put(r, 0, {0x07, 0x00});                                      // number
  put(r, 2, {0x00, 0x00});                                      // mapped shares
  put(r, 4, {0x00, 0x00, 0x00, 0x00});                          // open files
  put(r, 12, {0x00, 0xF1, 0x53, 0x65, 0x00, 0x00, 0x00, 0x00});  // login time 1700000000
  put(r, 20, "fe80::7");
  put(r, 36, "carol");
  put(r, 292, "SMB 2.1");
  put(r, 312, {0xFE, 0xFF, 0xFF, 0xFF});  // channels -2
  put(r, 316, {0x01});                    // encrypted
  put(r, 326, {0x04, 0x03, 0x02, 0x01});  // total requests
  put(r, 330, {0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00});  // bytes read 2^40
  put(r, 338, {0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});  // bytes written
  put(r, 346, {0x02, 0x00, 0x00, 0x00});  // security equivalences
  put(r, 354, "Idle");
  put(r, 386, "User");
  return r;
}
bytes plain_record() {
  bytes r(418, 0);
  put(r, 0, {0x08, 0x00});
  return r;
}

// Both lists: the block's head, then one pointer, to the records that
// follow it or that lie apart from the block, as the choices say.
TEST_F(Writers, ListBlocksPointToTheirRecordsApartOrInside) {
  set_one_share();
  set_one_connection();
  const struct {
    const char *what;
    int32_t (*call)(void **);
    bytes head;  // the count, and for connections four unread bytes
    bytes records;
  } lists[] = {
      {"shares", CIFSLIB_ListAllShares, {0x01, 0x00, 0x00, 0x00}, share_record},
      {"connections", CIFSLIB_GetConnectionsList, {0x02, 0x00, 0x00, 0x00, 0xA5, 0xA5, 0xA5, 0xA5},
       golden::join(connection_record(), plain_record())},
  };
  for (const auto &list : lists) {
    for (uint8_t inside : {0, 1}) {
      choose(inside, inside, 4096);
      void *block = nullptr;
      ASSERT_EQ(list.call(&block), CIFSSIM_OK);
      const auto *b = static_cast<const uint8_t *>(block);
      const size_t pointer_at = list.head.size();
      EXPECT_EQ(golden::at(b, pointer_at), list.head) << list.what;
      const uint8_t *first = golden::pointer_at(b + pointer_at);
      if (inside) {
        EXPECT_EQ(first, b + pointer_at + 8) << list.what << ": the records follow the pointer";
      } else {
        EXPECT_TRUE(first < b || first >= b + pointer_at + 8) << list.what << ": the records lie apart from the block";
      }
      EXPECT_EQ(golden::at(first, list.records.size()), list.records) << list.what << ", inside " << int{inside};
      std::free(block);
    }
  }
}

TEST_F(Writers, ConnectionDetailsFillTheRecordAndKeepTheTexts) {
  set_one_connection();
  bytes record(418, 0);
  char *texts = nullptr;
  ASSERT_EQ(CIFSLIB_GetConnectionDetails("7", record.data(), &texts), CIFSSIM_OK);
  EXPECT_EQ(record, connection_record());
  EXPECT_EQ(golden::at(texts, 7), (bytes{'.', 'a', 0x00, '.', 'b', 'c', 0x00}));

  bytes plain(418, 0);
  char *none = reinterpret_cast<char *>(&plain);
  ASSERT_EQ(CIFSLIB_GetConnectionDetails("8", plain.data(), &none), CIFSSIM_OK);
  EXPECT_EQ(plain, plain_record());
  EXPECT_EQ(none, nullptr) << "no texts: a null pointer";
}

// The open files request of a share, as the table lays it out: volume "DATA".
bytes share_request() {
  bytes p = golden::page();
  put(p, 0, {0x00, 0x00, 0x00, 0x00,    // not set
             0x00, 0x00, 0x00, 0x00,    // ignore count
             0x00, 0x00, 0x00, 0x00,    // return count
             0xFF, 0xFF, 0xFF, 0xFF,    // no cookie
             0x00, 0x00, 0x00, 0x00,    // volume at 0
             0xFF, 0xFF, 0xFF, 0xFF,    // no filters
             0x05, 0x00, 0x00, 0x00});  // strings length
  put(p, 28, "DATA");
  return p;
}

// The header's string area: the cookie "" at 0, then the object's name.
bytes result_header(uint8_t count, uint8_t records_size, const std::string &name) {
  bytes h = {count, 0x00, 0x00, 0x00,  // count
             0x00, 0x00, 0x00, 0x00,   // cookie at 0
             0x01, 0x00, 0x00, 0x00,   // object name at 1
             0x00, 0x00, 0x00, 0x00,   // not read
             records_size, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};  // object size
  return golden::join(h, golden::texts({"", name}));
}

// Session 1, file id 0x10, access mask 3, lock level 5.
constexpr std::string_view one_open_file = "open-file\tDATA\t1\t16\t3\t5\ta.txt\t/D/a.txt\tu\t1.2.3.4\t0\n";

TEST_F(Writers, OpenFilesResultHeaderRecordAndSlack) {
  ASSERT_EQ(golden::set_section("open-files", one_open_file), CIFSSIM_OK);
  const bytes record = golden::join(
      {0x01, 0x00, 0x00, 0x00,   // session id
       0x10, 0x00, 0x00, 0x00,   // file id
       0x03, 0x00, 0x00, 0x00,   // access mask
       0x05, 0x00, 0x00, 0x00,   // lock level
       0x00, 0x00, 0x00, 0x00,   // file name at 0
       0x06, 0x00, 0x00, 0x00,   // share name at 6
       0x0B, 0x00, 0x00, 0x00,   // full path at 11
       0x14, 0x00, 0x00, 0x00,   // user name at 20
       0x16, 0x00, 0x00, 0x00,   // client address at 22
       0x1E, 0x00, 0x00, 0x00},  // strings length 30
      golden::texts({"a.txt", "DATA", "/D/a.txt", "u", "1.2.3.4"}));
  const bytes slack_record = golden::join(
      {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
       0x00, 0x00, 0x00, 0x00,   // file name at 0
       0x19, 0x00, 0x00, 0x00,   // share name at 25
       0x1A, 0x00, 0x00, 0x00,   // full path at 26
       0x34, 0x00, 0x00, 0x00,   // user name at 52
       0x4D, 0x00, 0x00, 0x00,   // client address at 77
       0x4E, 0x00, 0x00, 0x00},  // strings length 78
      golden::texts({"slack-beyond-header-size", "", "/slack-beyond-header-size", "slack-beyond-header-size", ""}));

  for (uint32_t slack : {4096u, 0u}) {
    choose(0, 0, slack);
    bytes request = share_request();
    void *header = nullptr;
    ASSERT_EQ(CIFSLIB_ListOpenFiles(request.data(), &header), CIFSSIM_OK);
    const auto *h = static_cast<const uint8_t *>(header);
    const std::string name(reinterpret_cast<const char *>(h) + 25);
    EXPECT_EQ(golden::at(h, 24 + 2 + name.size()), result_header(1, 70, name));
    const bytes object = golden::object(name);
    ASSERT_EQ(object.size(), 70 + slack) << "the records, then the slack the header does not count";
    EXPECT_EQ(bytes(object.begin(), object.begin() + 70), record);
    if (slack) {
      EXPECT_EQ(bytes(object.begin() + 70, object.begin() + 70 + 118), slack_record);
    }
  }
}

TEST_F(Writers, InvalidUsersResultAndRecord) {
  ASSERT_EQ(golden::set_section("invalid-users", "invalid-user\teve\t1\t10.0.0.9\t-5\t0\n"), CIFSSIM_OK);
  choose(0, 0, 0);
  bytes request = golden::page();
  put(request, 0, {0x00, 0x00, 0x00, 0x00,    // ignore count
                   0x00, 0x00, 0x00, 0x00,    // return count
                   0xFF, 0xFF, 0xFF, 0xFF,    // no cookie
                   0xFF, 0xFF, 0xFF, 0xFF,    // no filters
                   0x00, 0x00, 0x00, 0x00});  // strings length
  void *header = nullptr;
  ASSERT_EQ(CIFSLIB_ListInvalidUsers(request.data(), &header), CIFSSIM_OK);
  const auto *h = static_cast<const uint8_t *>(header);
  const std::string name(reinterpret_cast<const char *>(h) + 25);
  EXPECT_EQ(golden::at(h, 24 + 2 + name.size()), result_header(1, 44, name));
  bytes record(40, 0);
  put(record, 0, {0x01, 0x00, 0x00, 0x00});                          // state
  put(record, 8, {0xFB, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});  // last attempt -5
  put(record, 16, "10.0.0.9");
  put(record, 32, {0x00, 0x00, 0x00, 0x00});  // user name at 0
  put(record, 36, {0x04, 0x00, 0x00, 0x00});  // strings length
  EXPECT_EQ(golden::object(name), golden::join(record, golden::texts({"eve"})));
}

TEST_F(Writers, ContextCountAndListAreTheCallersBlocks) {
  ASSERT_EQ(golden::set_section("contexts", "context\t.a\ncontext\t.bc\n"), CIFSSIM_OK);
  uint32_t *count = nullptr;
  char *list = nullptr;
  ASSERT_EQ(CIFSLIB_ListUserContexts(&count, &list), CIFSSIM_OK);
  EXPECT_EQ(golden::at(count, 4), (bytes{0x02, 0x00, 0x00, 0x00}));
  EXPECT_EQ(golden::at(list, 7), (bytes{'.', 'a', 0x00, '.', 'b', 'c', 0x00}));
  std::free(count);
  std::free(list);
}

// A raw listing may name a FIFO or a directory instead of an object; the
// cleanup the tests rely on finds and removes every kind.
TEST_F(Writers, RawListingEntriesOfEveryKindAreFoundAndRemoved) {
  char prefix[64];
  cifssim_shm_prefix(prefix, sizeof prefix);
  std::vector<std::string> made;
  for (int32_t kind : {CIFSSIM_SHM_OBJECT, CIFSSIM_SHM_FIFO, CIFSSIM_SHM_DIRECTORY}) {
    made.push_back(std::string(prefix) + "kind" + std::to_string(kind));
    const cifssim_shm shm{made.back().c_str(), nullptr, 0, kind, kind == CIFSSIM_SHM_OBJECT ? int64_t{1} << 32 : -1};
    ASSERT_EQ(cifssim_raw_result("CIFSLIB_ListOpenFiles", 0, nullptr, 0, &shm), CIFSSIM_OK);
    bytes request = share_request();
    void *header = &header;
    ASSERT_EQ(CIFSLIB_ListOpenFiles(request.data(), &header), CIFSSIM_OK);
    EXPECT_EQ(header, nullptr) << "no out given: a null header";
  }
  EXPECT_EQ(golden::object_size(made[0]), size_t{1} << 32) << "grown, sparse, to the size asked";
  std::vector<std::string> present;
  cifssim_visit_shm_objects(
      [](void *ctx, const char *name) { static_cast<std::vector<std::string> *>(ctx)->push_back(name); }, &present);
  std::sort(present.begin(), present.end());
  std::sort(made.begin(), made.end());
  EXPECT_EQ(present, made);
  EXPECT_EQ(cifssim_remove_shm_objects(), 3u);
  EXPECT_EQ(cifssim_remove_shm_objects(), 0u);
}

// What the library keeps is no malloc block: a caller that frees it stops at once.
TEST_F(Writers, FreeingAKeptResultHeaderAborts) {
  bytes request = share_request();
  void *header = nullptr;
  ASSERT_EQ(CIFSLIB_ListOpenFiles(request.data(), &header), CIFSSIM_OK);
  EXPECT_DEATH(std::free(header), "");
}

}  // namespace
