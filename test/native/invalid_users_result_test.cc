#include "wire/invalid_users_result.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using bytes = std::vector<uint8_t>;

// State 2, 4 unread bytes, time -2, address "10.0.0.1", name at 0 of 6 bytes of strings: "guest".
const bytes invalid_guest = {
    2, 0, 0, 0,  0xEE, 0xEE, 0xEE, 0xEE,  0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    '1', '0', '.', '0', '.', '0', '.', '1', 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0,  6, 0, 0, 0,  'g', 'u', 'e', 's', 't', 0};

// State 3, time 2^40, an address filling its 16 bytes with no NUL (the name
// offset 2 behind it is no NUL either), the name at 2 of "xxeve".
const bytes blocked_eve = {
    3, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 1, 0, 0,
    'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p',
    2, 0, 0, 0,  6, 0, 0, 0,  'x', 'x', 'e', 'v', 'e', 0};

bytes page_of(std::initializer_list<bytes> records) {
  bytes page;
  for (const bytes &r : records) page.insert(page.end(), r.begin(), r.end());
  return page;
}

std::vector<cifs::invalid_user_view> walk(const bytes &page, uint32_t count) {
  cifs::invalid_users_cursor cursor(cifs::byte_reader(page.data(), page.size()), count);
  std::vector<cifs::invalid_user_view> users;
  cifs::invalid_user_view user;
  while (cursor.next(&user)) users.push_back(user);
  EXPECT_EQ(cifs::count_invalid_users(cifs::byte_reader(page.data(), page.size()), count), users.size())
      << "the first pass counts what the walk reads";
  return users;
}

TEST(InvalidUsersCursor, ReadsEveryFieldAndStopsTheAddressAtItsField) {
  const auto users = walk(page_of({invalid_guest, blocked_eve}), 2);
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

// The walk answers the records that lie wholly in the copy, up to the first
// that does not; a name that does not end inside its record reads as empty.
TEST(InvalidUsersCursor, StopsAtTheFirstRecordOutsideTheCopy) {
  bytes far_name = blocked_eve;
  far_name[32] = 6;  // the end of the strings: no NUL after it
  const struct {
    bytes page;
    uint32_t count;
    size_t read;
  } cases[] = {
      {invalid_guest, 2, 1},
      {page_of({invalid_guest, bytes(blocked_eve.begin(), blocked_eve.end() - 1)}), 2, 1},
      {page_of({invalid_guest, invalid_guest, bytes(39, 0)}), 3, 2},
      {page_of({invalid_guest, invalid_guest}), 1, 1},
  };
  for (const auto &c : cases) EXPECT_EQ(walk(c.page, c.count).size(), c.read);
  const auto users = walk(page_of({invalid_guest, far_name}), 2);
  ASSERT_EQ(users.size(), 2u);
  EXPECT_EQ(users[1].name, "");
}

}  // namespace
