#include "values/page_request.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <vector>

#include "mgmtclient/open_file_records.h"

namespace {

using bytes = std::vector<uint8_t>;
using cifs::page_request;
constexpr const cifs::page_layout &layout = cifs::open_files_request_layout;

bytes page_bytes(const page_request &page) { return bytes(page.data(), page.data() + page.page_size()); }

TEST(PageRequest, AppendsBehindTheHeaderAndKeepsTheStringsLengthField) {
  page_request page(layout, 64);
  ASSERT_EQ(page.failed(), page_request::failure::none);
  EXPECT_EQ(page.append_text("vol", 256), std::optional<uint32_t>(0));
  EXPECT_EQ(page.append_text("cookie-longer-than-its-bound", 8), std::optional<uint32_t>(4));
  const uint8_t raw[] = {0xAA, 0xBB};
  EXPECT_EQ(page.append_bytes(raw, sizeof raw), std::optional<uint32_t>(12));
  EXPECT_TRUE(page.set_field<uint32_t>(4, 0x01020304));

  bytes expected(64, 0);
  expected[4] = 0x04, expected[5] = 0x03, expected[6] = 0x02, expected[7] = 0x01;
  expected[24] = 14;  // strings length
  const char area[] = "vol\0cookie-";  // the cookie cut to 7 bytes and its NUL
  std::copy(area, area + sizeof area, expected.begin() + 28);
  expected[28 + 12] = 0xAA, expected[28 + 13] = 0xBB;
  EXPECT_EQ(page_bytes(page), expected);
  EXPECT_EQ(page.strings_length(), 14u);
  EXPECT_EQ(page.room(), 64u - 28u - 14u);
}

TEST(PageRequest, CutsNeverSplitACharacter) {
  using cifs::bounded_text_length;
  EXPECT_EQ(bounded_text_length("abc", 0), 0u);
  EXPECT_EQ(bounded_text_length("abc", 1), 0u);
  EXPECT_EQ(bounded_text_length("abc", 4), 3u);
  EXPECT_EQ(bounded_text_length("a\xC3\xA9", 3), 1u) << "the two-byte e-acute does not fit whole";
  EXPECT_EQ(bounded_text_length("a\xC3\xA9", 4), 3u);
  EXPECT_EQ(bounded_text_length("\xE6\x97\xA5\xE6\x9C\xAC", 4), 3u);  // the second character starts at the cut
  EXPECT_EQ(bounded_text_length("\xE6\x97\xA5\xE6\x9C\xAC", 3), 0u);
}

TEST(PageRequest, AnAppendThatDoesNotFitChangesNothing) {
  page_request page(layout, 40);  // a 12-byte string area
  ASSERT_TRUE(page.append_text("abcdefghij", 64));
  const bytes before = page_bytes(page);
  EXPECT_FALSE(page.append_text("x", 8)) << "needs two bytes, one is left";
  const uint8_t two[2] = {1, 2};
  EXPECT_FALSE(page.append_bytes(two, 2));
  EXPECT_FALSE(page.append_text("", 0)) << "a bound of 0 leaves no room for the NUL";
  EXPECT_EQ(page_bytes(page), before);
  EXPECT_EQ(page.strings_length(), 11u);

  EXPECT_EQ(page.append_text("", 1), std::optional<uint32_t>(11)) << "the last byte takes an empty text";
  EXPECT_EQ(page.room(), 0u);
  EXPECT_FALSE(page.append_text("", 1));
}

TEST(PageRequest, HeaderFieldsStayInsideTheHeader) {
  page_request page(layout, 64);
  const bytes before = page_bytes(page);
  EXPECT_FALSE(page.set_field<uint32_t>(26, 0xFFFFFFFF));
  EXPECT_FALSE(page.set_field<uint64_t>(24, ~0ull));
  EXPECT_FALSE(page.set_field<uint8_t>(SIZE_MAX, 1));
  EXPECT_EQ(page_bytes(page), before);
  EXPECT_TRUE(page.set_field<uint32_t>(20, cifs::absent_offset));
}

TEST(PageRequest, FailuresAreReportedAndRefuseEveryAppend) {
  errno = EINVAL;
  page_request no_size(layout, -1);
  EXPECT_EQ(no_size.failed(), page_request::failure::page_size);
  EXPECT_EQ(no_size.error(), EINVAL);
  EXPECT_EQ(no_size.data(), nullptr);
  EXPECT_FALSE(no_size.append_text("a", 2));

  page_request header_only(layout, 28);
  EXPECT_EQ(header_only.failed(), page_request::failure::page_size);

  page_request too_large(layout, LONG_MAX);
  EXPECT_EQ(too_large.failed(), page_request::failure::allocation);
  EXPECT_EQ(too_large.error(), ENOMEM);
  EXPECT_FALSE(too_large.append_bytes("", 0));
  EXPECT_FALSE(too_large.set_field<uint32_t>(0, 1));
}

TEST(PageRequest, IsOneSystemPageHandedOverWhole) {
  page_request page(layout);
  ASSERT_EQ(page.failed(), page_request::failure::none);
  EXPECT_EQ(page.page_size(), static_cast<size_t>(sysconf(_SC_PAGESIZE)));
  ASSERT_TRUE(page.append_text("v", 8));
  const uint8_t *address = page.data();
  cifs::malloc_ptr<uint8_t> owned = page.release();
  EXPECT_EQ(owned.get(), address);
  EXPECT_EQ(owned.get()[28], 'v');
  EXPECT_EQ(page.data(), nullptr);
  EXPECT_FALSE(page.append_text("w", 8)) << "an empty builder writes nowhere";
}

}  // namespace
