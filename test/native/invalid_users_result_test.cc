#include "mgmtclient/invalid_users_result.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using bytes = std::vector<uint8_t>;
using cifs::byte_reader;
using cifs::invalid_user_view;
using cifs::invalid_users_cursor;
using cifs::result_fault;

// State 2, 4 unread bytes, time -2, address "10.0.0.1", name at 0, 6 bytes of strings: "guest".
const bytes invalid_guest = {
    2, 0, 0, 0,  0xEE, 0xEE, 0xEE, 0xEE,  0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    '1', '0', '.', '0', '.', '0', '.', '1', 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0,  6, 0, 0, 0,
    'g', 'u', 'e', 's', 't', 0};

// State 3, time 2^40, an address that fills its 16 bytes with no NUL, the
// name at 2 of 6 bytes of strings: "xxeve".
const bytes blocked_eve = {
    3, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 1, 0, 0,
    'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p',
    2, 0, 0, 0,  6, 0, 0, 0,
    'x', 'x', 'e', 'v', 'e', 0};

bytes page_of(std::initializer_list<bytes> records) {
  bytes page;
  for (const bytes &r : records) page.insert(page.end(), r.begin(), r.end());
  return page;
}

std::vector<invalid_user_view> walk(const bytes &page, uint32_t count, cifs::result_problem *problem) {
  invalid_users_cursor cursor(byte_reader(page.data(), page.size()), count);
  std::vector<invalid_user_view> users;
  invalid_user_view user;
  while (cursor.next(&user)) users.push_back(user);
  *problem = cursor.problem();
  return users;
}

TEST(InvalidUsersCursor, ReadsEveryFieldAndStopsTheAddressAtItsField) {
  const bytes page = page_of({invalid_guest, blocked_eve});
  cifs::result_problem problem;
  const auto users = walk(page, 2, &problem);
  ASSERT_FALSE(problem);
  ASSERT_EQ(users.size(), 2u);
  EXPECT_EQ(users[0].state, 2u);
  EXPECT_EQ(users[0].last_attempt_time, -2);
  EXPECT_EQ(users[0].client_address, "10.0.0.1");
  EXPECT_EQ(users[0].name, "guest");
  EXPECT_EQ(users[1].state, 3u);
  EXPECT_EQ(users[1].last_attempt_time, int64_t{1} << 40);
  EXPECT_EQ(users[1].client_address, "abcdefghijklmnop");
  EXPECT_EQ(users[1].name, "eve");
}

TEST(InvalidUsersCursor, ReadsAnAbsentNameAsEmpty) {
  bytes nameless = invalid_guest;
  nameless[32] = nameless[33] = nameless[34] = nameless[35] = 0xFF;
  cifs::result_problem problem;
  const auto users = walk(nameless, 1, &problem);
  ASSERT_FALSE(problem);
  EXPECT_EQ(users.at(0).name, "");
}

TEST(InvalidUsersCursor, StopsAtTheFirstFaultWithWhatWasWrong) {
  struct bent {
    const char *what;
    bytes page;
    uint32_t count;
    result_fault fault;
    uint32_t record;
    uint64_t value;
    size_t read;
  };
  bytes far_name = blocked_eve;
  far_name[32] = 6;  // the offset of the strings' end: no NUL after it
  bytes long_strings = blocked_eve;
  long_strings[36] = 7;
  const bent cases[] = {
      {"a count past the object", invalid_guest, 2, result_fault::count, 0, 2, 0},
      {"a name offset at the strings' end", page_of({invalid_guest, far_name}), 2, result_fault::record_text, 1, 6, 1},
      {"a strings length past the object", page_of({invalid_guest, long_strings}), 2, result_fault::record_strings, 1,
       7, 1},
      {"a count of more headers than fit", page_of({invalid_guest, bytes(39, 0)}), 3, result_fault::count, 0, 3, 0},
      {"a last header cut short", page_of({invalid_guest, invalid_guest, bytes(39, 0)}), 3,
       result_fault::record_header, 2, 92, 2},
  };
  for (const bent &c : cases) {
    cifs::result_problem problem;
    const auto users = walk(c.page, c.count, &problem);
    EXPECT_EQ(problem.fault, c.fault) << c.what;
    EXPECT_EQ(problem.record, c.record) << c.what;
    EXPECT_EQ(problem.value, c.value) << c.what;
    EXPECT_EQ(users.size(), c.read) << c.what;
  }
}

}  // namespace
