// The advanced filter block in a list request page: its bound. What the
// encoder and the sink write is checked byte for byte by the open files
// suite and, against a reference, by the request page fuzz target.
#include "wire/filter_block.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using bytes = std::vector<uint8_t>;
using cifs::block_filter;
using cifs::filter_block_status;
using cifs::page_request;

// A page holding the volume name "vol" (4 bytes), as the parser leaves it before the block.
page_request volume_page(long size) {
  page_request page(cifs::open_files_request_layout, size);
  EXPECT_TRUE(page.append_text("vol", cifs::open_files_volume_name_size));
  return page;
}

// The block's size is measured on the texts as they are cut: one that fits
// exactly is written, one byte less of page is refused and writes nothing.
TEST(FilterBlock, FitIsMeasuredOnTheCutTexts) {
  const std::string long_type(1000, 't');  // counts as 7 bytes once cut
  const std::string_view patterns[] = {long_type};
  const block_filter filters[] = {{cifs::filter_type_type, "type", patterns}};
  const size_t block = 12 + 20 + 5 + 8;
  page_request exact = volume_page(static_cast<long>(28 + 4 + block));
  EXPECT_EQ(cifs::write_filter_block(exact, {cifs::match_type_all, filters}, 8).status, filter_block_status::written);
  EXPECT_EQ(exact.room(), 0u);
  page_request short_by_one = volume_page(static_cast<long>(28 + 4 + block - 1));
  const bytes before(short_by_one.data(), short_by_one.data() + short_by_one.page_size());
  EXPECT_EQ(cifs::write_filter_block(short_by_one, {cifs::match_type_all, filters}, 8).status,
            filter_block_status::does_not_fit);
  EXPECT_EQ(bytes(short_by_one.data(), short_by_one.data() + short_by_one.page_size()), before);
  EXPECT_EQ(short_by_one.strings_length(), 4u);
}

}  // namespace
