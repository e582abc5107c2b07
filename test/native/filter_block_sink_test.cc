#include "values/filter_block_sink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using bytes = std::vector<uint8_t>;
using cifs::filter_refusal;

constexpr size_t header = sizeof(cifs::open_files_request);

// A request page holding "vol" and its NUL, as the parser leaves it.
cifs::page_request volume_page(long size) {
  cifs::page_request page(cifs::open_files_request_layout, size);
  EXPECT_TRUE(page.append_text("vol", cifs::open_files_volume_name_size));
  return page;
}

bytes area(const cifs::page_request &page) {
  const uint8_t *start = page.data() + header;
  return bytes(start, start + page.strings_length());
}

uint32_t filters_offset(const cifs::page_request &page) {
  uint32_t value;
  std::memcpy(&value, page.data() + 20, sizeof value);
  return value;
}

TEST(BlockFilterSink, WritesWhatItWasHandedAsOneBlock) {
  cifs::page_request page = volume_page(4096);
  cifs::block_filter_sink sink(page, cifs::open_files_type_pattern_bound);
  ASSERT_EQ(sink.begin(cifs::match_type_any, "any"), filter_refusal::none);
  ASSERT_EQ(sink.filter(cifs::filter_type_type, "type", 2), filter_refusal::none);
  ASSERT_EQ(sink.pattern("pdf"), filter_refusal::none);
  ASSERT_EQ(sink.pattern("documents"), filter_refusal::none);  // cut to 7 bytes
  ASSERT_EQ(sink.filter(cifs::filter_type_search_name, "search-name", 0), filter_refusal::none);
  EXPECT_EQ(page.strings_length(), 4u) << "nothing is written before the set is complete";
  ASSERT_EQ(sink.finish(), filter_refusal::none);
  const bytes expected = {
      'v', 'o', 'l', 0,
      2, 0, 0, 0,  2, 0, 0, 0,  69, 0, 0, 0,  // count, any, entries length 37 + 32
      1, 0, 0, 0,  2, 0, 0, 0,  0, 0, 0, 0,  5, 0, 0, 0,  17, 0, 0, 0,
      't', 'y', 'p', 'e', 0, 'p', 'd', 'f', 0, 'd', 'o', 'c', 'u', 'm', 'e', 'n', 0,
      2, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0,  12, 0, 0, 0,  12, 0, 0, 0,
      's', 'e', 'a', 'r', 'c', 'h', '-', 'n', 'a', 'm', 'e', 0,
  };
  EXPECT_EQ(area(page), expected);
  EXPECT_EQ(filters_offset(page), 4u);
}

TEST(BlockFilterSink, RefusesAtTheFirstTextThePageCannotTake) {
  // 128 bytes of string area: "vol" takes 4, the block header 12, the entry
  // 20 + 12 ("search-name"); 80 bytes remain for patterns.
  cifs::page_request page = volume_page(header + 128);
  cifs::block_filter_sink sink(page, cifs::open_files_type_pattern_bound);
  ASSERT_EQ(sink.begin(cifs::match_type_all, "all"), filter_refusal::none);
  ASSERT_EQ(sink.filter(cifs::filter_type_search_name, "search-name", 3), filter_refusal::none);
  const std::string fits(79, 's');
  ASSERT_EQ(sink.pattern(fits), filter_refusal::none);
  EXPECT_EQ(sink.pattern(""), filter_refusal::does_not_fit) << "not even a NUL is left";
  EXPECT_EQ(area(page), (bytes{'v', 'o', 'l', 0}));
  EXPECT_EQ(filters_offset(page), 0u) << "the page is as it was";
}

TEST(BlockFilterSink, AFullPageRefusesEvenTheBlockHeader) {
  cifs::page_request page = volume_page(header + 15);
  cifs::block_filter_sink sink(page, cifs::open_files_type_pattern_bound);
  EXPECT_EQ(sink.begin(cifs::match_type_all, "all"), filter_refusal::does_not_fit);
}

TEST(BlockFilterSink, EveryFilterOfAFullPageFitsExactly) {
  // Filters with one empty pattern each: 20 + 5 + 1 bytes apiece.
  const size_t filters = 10;
  cifs::page_request page = volume_page(static_cast<long>(header + 4 + 12 + filters * 26));
  cifs::block_filter_sink sink(page, cifs::open_files_type_pattern_bound);
  ASSERT_EQ(sink.begin(cifs::match_type_none, "none"), filter_refusal::none);
  for (size_t i = 0; i < filters; ++i) {
    ASSERT_EQ(sink.filter(cifs::filter_type_type, "type", 1), filter_refusal::none);
    ASSERT_EQ(sink.pattern(""), filter_refusal::none);
  }
  ASSERT_EQ(sink.finish(), filter_refusal::none);
  EXPECT_EQ(page.room(), 0u);
  EXPECT_EQ(page.data()[header + 4], filters) << "filter count";
}

}  // namespace
