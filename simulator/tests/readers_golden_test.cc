// What the simulated management library reads, from bytes written by hand
// from the record tables: a share record, open files requests in both forms
// with a filter block, an invalid users request with a filter block, and a
// close file record. Each must take effect exactly as the bytes say.
#include <gtest/gtest.h>

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

class Readers : public ::testing::Test {
 protected:
  void SetUp() override {
    cifssim_reset();
    cifssim_remove_shm_objects();
    const cifssim_choices exact{0, 0, 0};
    ASSERT_EQ(cifssim_set_choices(&exact), CIFSSIM_OK);
  }
  void TearDown() override {
    cifssim_remove_shm_objects();
    cifssim_reset();
  }
};

// The count of a listing's result header, its object removed.
uint32_t listed(int32_t (*call)(void *, void **), bytes &request) {
  void *header = nullptr;
  EXPECT_EQ(call(request.data(), &header), CIFSSIM_OK);
  if (!header) return UINT32_MAX;
  uint32_t count = 0;
  std::memcpy(&count, header, sizeof count);
  return count;
}

TEST_F(Readers, CreateShareTakesTheTextsAtTheirOffsets) {
  const bytes record = golden::join(
      {0x00, 0x00, 0x00, 0x00,   // type, unused
       0x06, 0x00, 0x00, 0x00,   // change mask: always, comment
       0x00, 0x00, 0x00, 0x00,   // name space
       0x00, 0x00, 0x00, 0x00,   // features, unused
       0x00, 0x00, 0x00, 0x00,   // name at 0: "n"
       0x02, 0x00, 0x00, 0x00,   // volume at 2: "DATA"
       0x07, 0x00, 0x00, 0x00,   // comment at 7: "c"
       0x09, 0x00, 0x00, 0x00,   // relative path at 9: "r"
       0x00, 0x00, 0x00, 0x00,   // absolute path: not read
       0xFF, 0xFF, 0xFF, 0xFF,   // no new name
       0x00, 0x00, 0x00, 0x00,   // open files
       0x0B, 0x00, 0x00, 0x00},  // strings length 11
      golden::texts({"n", "DATA", "c", "r"}));
  bytes sent = record;
  ASSERT_EQ(CIFSLIB_CreateShare(sent.data()), CIFSSIM_OK);
  // Name, volume, relative path, absolute path, comment.
  EXPECT_NE(golden::section("shares").find("share\tn\tDATA\tr\t/DATA/r\tc\t"), std::string::npos);
}

TEST_F(Readers, OpenFilesRequestsInBothFormsWithAFilterBlock) {
  ASSERT_EQ(golden::set_section("open-files",
                                "open-file\tDATA\t7\t1\t0\t0\ta.txt\t\t\t\t0\n"
                                "open-file\tDATA\t7\t2\t0\t0\tb.pdf\t\t\t\t0\n"
                                "open-file\thome\t2\t3\t0\t0\tc.txt\t\t\t\t0\n"),
            CIFSSIM_OK);

  bytes share = golden::page();
  put(share, 0, {0x00, 0x00, 0x00, 0x00,    // not set
                 0x00, 0x00, 0x00, 0x00,    // ignore count
                 0x00, 0x00, 0x00, 0x00,    // return count
                 0xFF, 0xFF, 0xFF, 0xFF,    // no cookie
                 0x00, 0x00, 0x00, 0x00,    // volume at 0
                 0x05, 0x00, 0x00, 0x00,    // filter block at 5
                 0x2E, 0x00, 0x00, 0x00});  // strings length 46 = 5 + 12 + 29
  put(share, 28, "DATA");
  put(share, 33, {0x01, 0x00, 0x00, 0x00,    // one filter
                  0x02, 0x00, 0x00, 0x00,    // match any
                  0x1D, 0x00, 0x00, 0x00,    // entries length 29
                  0x01, 0x00, 0x00, 0x00,    // filter type "type"
                  0x01, 0x00, 0x00, 0x00,    // one pattern
                  0x00, 0x00, 0x00, 0x00,    // zero
                  0x05, 0x00, 0x00, 0x00,    // patterns at 5
                  0x09, 0x00, 0x00, 0x00});  // strings length 9
  put(share, 65, {'t', 'y', 'p', 'e', 0x00, 't', 'x', 't', 0x00});
  EXPECT_EQ(listed(CIFSLIB_ListOpenFiles, share), 1u) << "a.txt alone: on DATA, of type txt";

  bytes connection = golden::page();
  put(connection, 0, {0x07, 0x00, 0x00, 0x00,    // connection 7
                      0x01, 0x00, 0x00, 0x00,    // ignore count 1
                      0x00, 0x00, 0x00, 0x00,    // return count
                      0xFF, 0xFF, 0xFF, 0xFF,    // no cookie
                      0xFF, 0xFF, 0xFF, 0xFF,    // no volume
                      0xFF, 0xFF, 0xFF, 0xFF,    // no filters
                      0x00, 0x00, 0x00, 0x00});  // strings length
  EXPECT_EQ(listed(CIFSLIB_ListOpenFiles, connection), 1u) << "b.pdf alone: connection 7's second file";
}

TEST_F(Readers, InvalidUsersRequestWithAFilterBlock) {
  ASSERT_EQ(golden::set_section("invalid-users",
                                "invalid-user\ta\t2\t\t0\t0\ninvalid-user\tb\t1\t\t0\t0\ninvalid-user\tc\t3\t\t0\t0\n"),
            CIFSSIM_OK);
  bytes request = golden::page();
  put(request, 0, {0x00, 0x00, 0x00, 0x00,    // ignore count
                   0x00, 0x00, 0x00, 0x00,    // return count
                   0xFF, 0xFF, 0xFF, 0xFF,    // no cookie
                   0x00, 0x00, 0x00, 0x00,    // filter block at 0
                   0x2D, 0x00, 0x00, 0x00});  // strings length 45 = 12 + 33
  put(request, 20, {0x01, 0x00, 0x00, 0x00,    // one filter
                    0x01, 0x00, 0x00, 0x00,    // match all
                    0x21, 0x00, 0x00, 0x00,    // entries length 33
                    0x01, 0x00, 0x00, 0x00,    // filter type "type"
                    0x01, 0x00, 0x00, 0x00,    // one pattern
                    0x00, 0x00, 0x00, 0x00,    // zero
                    0x05, 0x00, 0x00, 0x00,    // patterns at 5
                    0x0D, 0x00, 0x00, 0x00});  // strings length 13
  put(request, 52, {'t', 'y', 'p', 'e', 0x00, 'b', 'l', 'o', 'c', 'k', 'e', 'd', 0x00});
  EXPECT_EQ(listed(CIFSLIB_ListInvalidUsers, request), 2u) << "b and c are blocked";
}

TEST_F(Readers, CloseFileRecordTakesThePathFromItsStringArea) {
  ASSERT_EQ(golden::set_section("open-files",
                                "open-file\tDATA\t1\t1\t0\t0\tx\t/DATA/x\t\t\t0\n"
                                "open-file\tDATA\t1\t2\t0\t0\ty\t/DATA/y\t\t\t0\n"),
            CIFSSIM_OK);
  bytes record(40 + 4097, 0);  // a zero header: the full path at 0
  put(record, 40, "/DATA/x");
  ASSERT_EQ(CIFSLIB_CloseOpenFile(record.data()), CIFSSIM_OK);
  const std::string left = golden::section("open-files");
  EXPECT_EQ(left.find("/DATA/x"), std::string::npos);
  EXPECT_NE(left.find("/DATA/y"), std::string::npos);
}

}  // namespace
