#include "wire/open_files_result.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using bytes = std::vector<uint8_t>;
using cifs::byte_reader;
using cifs::open_files_form;

constexpr uint8_t FF = 0xFF;

// count 2, cookie at 0, object name at 4, 4 unread bytes, size 123; then "ck1", "/shm-1".
const bytes golden_header = {2, 0, 0, 0,  0, 0, 0, 0,  4, 0, 0, 0,  0xEE, 0xEE, 0xEE, 0xEE,
                             123, 0, 0, 0, 0, 0, 0, 0,
                             'c', 'k', '1', 0, '/', 's', 'h', 'm', '-', '1', 0};

// Record 0: session 7, file 0x80000001, mask 0x60000003, lock 2; no share name.
const bytes golden_record0 = {
    7, 0, 0, 0,  1, 0, 0, 0x80,  3, 0, 0, 0x60,  2, 0, 0, 0,
    0, 0, 0, 0,  FF, FF, FF, FF,  6, 0, 0, 0,  15, 0, 0, 0,  19, 0, 0, 0,  28, 0, 0, 0,
    'a', '.', 't', 'x', 't', 0, '/', 'v', '/', 'a', '.', 't', 'x', 't', 0, 'b', 'o', 'b', 0,
    '1', '0', '.', '0', '.', '0', '.', '1', 0};

void put32(bytes &b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

// A record built from its fields: texts in order name, share, path, user, client (null = absent).
bytes record(uint32_t lock, std::vector<const char *> texts) {
  bytes r(40, 0);
  put32(r, 0, 7);
  put32(r, 4, 2);
  put32(r, 12, lock);
  std::string area;
  for (size_t i = 0; i < 5; ++i) {
    put32(r, 16 + 4 * i, texts[i] ? static_cast<uint32_t>(area.size()) : cifs::absent_offset);
    if (texts[i]) area.append(texts[i]).push_back('\0');
  }
  put32(r, 36, static_cast<uint32_t>(area.size()));
  r.insert(r.end(), area.begin(), area.end());
  return r;
}

bytes two_records() {
  bytes page = golden_record0;
  bytes second = record(11, {"README", "docs", "/v/README", nullptr, nullptr});
  page.insert(page.end(), second.begin(), second.end());
  return page;
}

TEST(ListResultHeader, ReadsCountsAndTextsWhereTheLibraryKeepsThem) {
  auto header = cifs::read_list_result_header(golden_header.data());
  EXPECT_EQ(header.count, 2u);
  EXPECT_EQ(header.cookie, "ck1");
  EXPECT_FALSE(header.cookie_cut);
  ASSERT_TRUE(header.object_name);
  EXPECT_EQ(*header.object_name, "/shm-1");
  EXPECT_EQ(header.object_name->data()[header.object_name->size()], '\0');
  EXPECT_EQ(header.object_size, 123u);

  bytes absent = golden_header;
  put32(absent, 4, cifs::absent_offset);
  put32(absent, 8, cifs::absent_offset);
  header = cifs::read_list_result_header(absent.data());
  EXPECT_EQ(header.cookie, "");
  EXPECT_FALSE(header.object_name) << "no name: nothing to open or remove";
}

TEST(OpenFilesCursor, ReadsEveryFieldOfTheRecords) {
  const bytes page = two_records();
  cifs::open_files_cursor cursor(byte_reader(page.data(), page.size()), 2, open_files_form::connection);
  cifs::open_file_view file;
  ASSERT_TRUE(cursor.next(&file));
  EXPECT_EQ(file.session_id, 7u);
  EXPECT_EQ(file.file_id, 0x80000001u);
  EXPECT_EQ(file.access_mask, 0x60000003u);
  EXPECT_EQ(file.lock_level, 2u);
  EXPECT_EQ(file.name, "a.txt");
  EXPECT_EQ(file.share_name, "") << "absent";
  EXPECT_EQ(file.full_path, "/v/a.txt");
  EXPECT_EQ(file.user_name, "bob");
  EXPECT_EQ(file.client_address, "10.0.0.1");
  ASSERT_TRUE(cursor.next(&file));
  EXPECT_EQ(file.name, "README");
  EXPECT_EQ(file.share_name, "docs");
  EXPECT_EQ(file.full_path, "/v/README");
  EXPECT_EQ(file.user_name, "");
  EXPECT_EQ(file.lock_level, 11u);
  EXPECT_FALSE(cursor.next(&file));
}

struct hostile_case {
  const char *what;
  uint32_t count;
  size_t record1_field;  // patched in record 1 (at 68 + field); SIZE_MAX = none
  uint32_t value;
  size_t cut;  // bytes removed from the end
  uint32_t read;
};

class HostileOpenFiles : public testing::TestWithParam<hostile_case> {};

// The walk answers the records that lie wholly in the copy, and the first
// pass counts exactly those.
TEST_P(HostileOpenFiles, AreReadUpToTheFirstRecordOutsideTheCopy) {
  const hostile_case &c = GetParam();
  bytes page = two_records();
  if (c.record1_field != SIZE_MAX) put32(page, golden_record0.size() + c.record1_field, c.value);
  page.resize(page.size() - c.cut);
  const byte_reader copy(page.data(), page.size());
  cifs::open_files_cursor cursor(copy, c.count, open_files_form::connection);
  cifs::open_file_view file;
  uint32_t read = 0;
  while (cursor.next(&file)) ++read;
  EXPECT_EQ(read, c.read) << c.what;
  EXPECT_EQ(cifs::count_open_files(copy, c.count), c.read) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Records, HostileOpenFiles,
    testing::Values(hostile_case{"count beyond the records present", 40000, SIZE_MAX, 0, 0, 2},
                    hostile_case{"strings length past the end", 2, 36, 23, 0, 1},
                    hostile_case{"strings length wrapping", 2, 36, 0xFFFFFFFF, 0, 1},
                    hostile_case{"record cut short", 2, SIZE_MAX, 0, 1, 1},
                    hostile_case{"offset past the record: an empty text", 2, 24, 22, 0, 2},
                    hostile_case{"fewer asked for than present", 1, SIZE_MAX, 0, 0, 1}));

}  // namespace
