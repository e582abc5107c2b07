#include "wire/page_request.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <vector>

#include "wire/open_file_records.h"

namespace {

using bytes = std::vector<uint8_t>;
using cifs::page_request;
constexpr const cifs::page_layout &layout = cifs::open_files_request_layout;

bytes page_bytes(const page_request &page) { return bytes(page.data(), page.data() + page.page_size()); }

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

TEST(PageRequest, FailuresAreReportedAndRefuseEveryAppend) {
  errno = EINVAL;
  page_request no_size(layout, -1);
  EXPECT_EQ(no_size.failed(), page_request::failure::page_size);
  EXPECT_EQ(no_size.error(), EINVAL);
  EXPECT_EQ(no_size.data(), nullptr);
  EXPECT_FALSE(no_size.append_text("a", 2));

  page_request too_large(layout, LONG_MAX);
  EXPECT_EQ(too_large.failed(), page_request::failure::allocation);
  EXPECT_EQ(too_large.error(), ENOMEM);
  EXPECT_FALSE(too_large.append_bytes("", 0));
  EXPECT_FALSE(too_large.set_field<uint32_t>(0, 1));
}

}  // namespace
