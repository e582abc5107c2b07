#include "mgmtclient/open_files_result.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "mgmtclient/open_file_texts.h"

namespace {

using bytes = std::vector<uint8_t>;
using cifs::byte_reader;
using cifs::open_files_form;
using cifs::result_fault;

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

TEST(ListResultHeader, ReadsCountsAndTextsInsideTheBuffer) {
  cifs::list_result_header header;
  ASSERT_FALSE(cifs::read_list_result_header(byte_reader(golden_header.data(), golden_header.size()), &header));
  EXPECT_EQ(header.count, 2u);
  EXPECT_EQ(header.cookie, "ck1");
  EXPECT_EQ(header.object_name, "/shm-1");
  EXPECT_EQ(header.object_name.data()[header.object_name.size()], '\0');
  EXPECT_EQ(header.object_size, 123u);

  bytes no_cookie = golden_header;
  put32(no_cookie, 4, cifs::absent_offset);
  ASSERT_FALSE(cifs::read_list_result_header(byte_reader(no_cookie.data(), no_cookie.size()), &header));
  EXPECT_EQ(header.cookie, "");
}

TEST(ListResultHeader, RefusesTextsThatEndOutsideIt) {
  cifs::list_result_header header;
  auto read = [&](const bytes &b) { return cifs::read_list_result_header(byte_reader(b.data(), b.size()), &header); };
  EXPECT_EQ(read(bytes(golden_header.begin(), golden_header.begin() + 23)).fault, result_fault::header_short);

  bytes unterminated_name(golden_header.begin(), golden_header.end() - 1);
  EXPECT_EQ(read(unterminated_name).fault, result_fault::object_name);
  bytes name_absent = golden_header;
  put32(name_absent, 8, cifs::absent_offset);
  EXPECT_EQ(read(name_absent).fault, result_fault::object_name);
  bytes cookie_far = golden_header;
  put32(cookie_far, 4, 11);  // one past the string area
  auto problem = read(cookie_far);
  EXPECT_EQ(problem.fault, result_fault::cookie);
  EXPECT_EQ(problem.value, 11u);
}

TEST(ListResultHeader, TheObjectNameIsReadAloneWhateverElseIsWrong) {
  auto name = [](const bytes &b) { return cifs::read_list_result_object_name(byte_reader(b.data(), b.size())); };
  bytes cookie_far = golden_header;
  put32(cookie_far, 4, 4000);
  EXPECT_EQ(name(cookie_far), "/shm-1");
  EXPECT_FALSE(name(bytes(golden_header.begin(), golden_header.end() - 1))) << "unterminated";
  EXPECT_FALSE(name(bytes(golden_header.begin(), golden_header.begin() + 12))) << "short";
  bytes absent = golden_header;
  put32(absent, 8, cifs::absent_offset);
  EXPECT_FALSE(name(absent));
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
  EXPECT_FALSE(cursor.problem());
}

TEST(OpenFilesCursor, TheShareFormLeavesTheShareNameUnread) {
  bytes page = golden_record0;
  put32(page, 20, 5000);  // a share name offset nowhere near the record
  byte_reader mapping(page.data(), page.size());
  EXPECT_FALSE(cifs::check_open_files(mapping, 1, open_files_form::share));
  auto problem = cifs::check_open_files(mapping, 1, open_files_form::connection);
  EXPECT_EQ(problem.fault, result_fault::record_text);
  EXPECT_STREQ(problem.field, "share name");
}

struct hostile_case {
  const char *what;
  uint32_t count;
  size_t record1_field;  // patched in record 1 (at 68 + field); SIZE_MAX = none
  uint32_t value;
  size_t cut;  // bytes removed from the end
  result_fault fault;
  uint32_t record;
};

class HostileOpenFiles : public testing::TestWithParam<hostile_case> {};

// The whole page is refused before any file, and the cursor stops where the check did.
TEST_P(HostileOpenFiles, AreRefusedWithWhatWasWrong) {
  const hostile_case &c = GetParam();
  bytes page = two_records();
  if (c.record1_field != SIZE_MAX) put32(page, golden_record0.size() + c.record1_field, c.value);
  page.resize(page.size() - c.cut);
  byte_reader mapping(page.data(), page.size());
  auto problem = cifs::check_open_files(mapping, c.count, open_files_form::connection);
  EXPECT_EQ(problem.fault, c.fault) << c.what;
  EXPECT_EQ(problem.record, c.record) << c.what;

  cifs::open_files_cursor cursor(mapping, c.count, open_files_form::connection);
  cifs::open_file_view file;
  uint32_t read = 0;
  while (cursor.next(&file)) ++read;
  EXPECT_EQ(read, c.record) << c.what;
  EXPECT_EQ(cursor.problem().fault, c.fault) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Records, HostileOpenFiles,
    testing::Values(
        hostile_case{"count beyond what the object can hold", 4, SIZE_MAX, 0, 0, result_fault::count, 0},
        hostile_case{"count beyond the records present", 3, SIZE_MAX, 0, 0, result_fault::record_header, 2},
        hostile_case{"strings length past the end", 2, 36, 23, 0, result_fault::record_strings, 1},
        hostile_case{"strings length wrapping", 2, 36, 0xFFFFFFFF, 0, result_fault::record_strings, 1},
        hostile_case{"record cut short", 2, SIZE_MAX, 0, 1, result_fault::record_strings, 1},
        hostile_case{"offset past the record", 2, 24, 22, 0, result_fault::record_text, 1},
        hostile_case{"text unterminated in its area", 2, 36, 21, 0, result_fault::record_text, 1}));

TEST(OpenFilesCursor, TextsEndInsideTheirOwnRecord) {
  bytes page = two_records();
  put32(page, 36, 27);  // record 0's area now ends before the client address's NUL
  auto problem = cifs::check_open_files(byte_reader(page.data(), page.size()), 1, open_files_form::share);
  EXPECT_EQ(problem.fault, result_fault::record_text);
  EXPECT_STREQ(problem.field, "client address");
  char line[128];
  cifs::describe_result_problem(problem, line, sizeof line);
  EXPECT_STREQ(line, "record 0: client address offset 19 does not end inside the record's strings");
}

TEST(OpenFilesCursor, AnEmptyPageIsSound) {
  EXPECT_FALSE(cifs::check_open_files(byte_reader(), 0, open_files_form::share));
  auto problem = cifs::check_open_files(byte_reader(), 1, open_files_form::share);
  EXPECT_EQ(problem.fault, result_fault::count);
  char line[128];
  cifs::describe_result_problem(problem, line, sizeof line);
  EXPECT_STREQ(line, "count 1 does not fit the shared memory object");
}

TEST(OpenFileTexts, LockLevelsAboveTheTableShowOneText) {
  EXPECT_EQ(cifs::lock_level_name(10), "lease");
  EXPECT_EQ(cifs::lock_level_name(11), "unknown");
  EXPECT_EQ(cifs::lock_level_name(0xFFFFFFFF), "unknown");
}

TEST(OpenFileTexts, TypeIsTheTextAfterTheLastDot) {
  EXPECT_EQ(cifs::file_type("report.tar.gz"), "gz");
  EXPECT_EQ(cifs::file_type("report.final.pdf"), "pdf");
  EXPECT_EQ(cifs::file_type(".profile"), "");
  EXPECT_EQ(cifs::file_type("README"), "");
  EXPECT_EQ(cifs::file_type("notes."), "");
  EXPECT_EQ(cifs::file_type(""), "");
  EXPECT_EQ(cifs::file_type("..x"), "x");
}

TEST(OpenFileTexts, AccessRightsInTableOrder) {
  auto names = [](uint32_t mask) {
    std::string joined;
    for (const auto &right : cifs::access_rights_supported)
      if (mask & right.bit) joined.append(right.name).push_back(' ');
    return joined;
  };
  EXPECT_EQ(names(0x60000003), "RD WR DA DD ");
  EXPECT_EQ(names(0x0000000C), "DR DW ");
  EXPECT_EQ(names(0x9FFFFFF0), "") << "bits outside the table are not shown";
}

}  // namespace
