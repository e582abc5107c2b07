// The advanced filter block in a list request page: the encoder, and the sink
// that collects a request's filters and hands them to it.
#include "values/filter_block.h"
#include "values/filter_block_sink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using bytes = std::vector<uint8_t>;
using cifs::block_filter;
using cifs::filter_block_status;
using cifs::filter_refusal;
using cifs::page_request;
using sv = std::string_view;

constexpr size_t header = sizeof(cifs::open_files_request);

// A page holding the volume name "vol" (4 bytes), as the parser leaves it before the block.
page_request volume_page(long size) {
  page_request page(cifs::open_files_request_layout, size);
  EXPECT_TRUE(page.append_text("vol", cifs::open_files_volume_name_size));
  return page;
}

bytes area(const page_request &page) {
  const uint8_t *start = page.data() + header;
  return bytes(start, start + page.strings_length());
}

uint32_t filters_offset(const page_request &page) {
  uint32_t value;
  std::memcpy(&value, page.data() + 20, sizeof value);
  return value;
}

TEST(FilterBlock, BoundsDependOnTheFilterAndTheForm) {
  const std::string long_search(800, 's');
  const sv type_patterns[] = {"document-type-longer-than-31-bytes-anyway"};
  const sv search_patterns[] = {long_search};
  const std::string long_filter_by(40, 'f');
  const block_filter filters[] = {{cifs::filter_type_type, long_filter_by, type_patterns},
                                  {cifs::filter_type_search_name, "search-name", search_patterns}};
  page_request page(cifs::open_files_request_layout, 4096);
  ASSERT_EQ(cifs::write_filter_block(page, {cifs::match_type_none, filters}, cifs::invalid_users_type_pattern_bound).status,
            filter_block_status::written);
  const bytes got = area(page);
  cifs::filter_entry_header first, second;
  std::memcpy(&first, got.data() + 12, sizeof first);
  EXPECT_EQ(first.patterns_offset, 32u) << "filterBy is cut to 31 bytes";
  EXPECT_EQ(first.strings_length, 32u + 32u) << "a \"type\" pattern of the invalid users form keeps 31 bytes";
  std::memcpy(&second, got.data() + 12 + 20 + 64, sizeof second);
  EXPECT_EQ(second.strings_length, 12u + 768u) << "a \"search-name\" pattern keeps 767 bytes";
  EXPECT_EQ(got.size(), 12u + 20u + 64u + 20u + 780u);
}

TEST(FilterBlock, CountsUpTo255AreStoredWhole) {
  std::vector<sv> patterns(255, "p");
  std::vector<block_filter> filters(255, {cifs::filter_type_search_name, "search-name", {}});
  filters[0].patterns = patterns;
  page_request page(cifs::open_files_request_layout, 16384);
  ASSERT_EQ(cifs::write_filter_block(page, {cifs::match_type_any, filters}, 8).status, filter_block_status::written);
  EXPECT_EQ(area(page)[0], 255);
  EXPECT_EQ(area(page)[12 + 4], 255);
}

struct refusal_case {
  const char *what;
  size_t filter_count;
  size_t pattern_count;  // in the last filter
  uint32_t last_type;
  long page_size;
  filter_block_status status;
};

class FilterBlockRefusal : public testing::TestWithParam<refusal_case> {};

TEST_P(FilterBlockRefusal, WritesNothing) {
  const refusal_case &c = GetParam();
  std::vector<sv> patterns(c.pattern_count, "pattern");
  std::vector<block_filter> filters(c.filter_count, {cifs::filter_type_type, "type", {}});
  filters.back().patterns = patterns;
  filters.back().filter_type = c.last_type;
  page_request page = volume_page(c.page_size);
  ASSERT_TRUE(page.set_field<uint32_t>(20, 0x5A5A5A5A));
  const bytes before(page.data(), page.data() + page.page_size());

  auto outcome = cifs::write_filter_block(page, {cifs::match_type_all, filters}, 8);
  EXPECT_EQ(outcome.status, c.status) << c.what;
  if (c.status == filter_block_status::too_many_patterns || c.status == filter_block_status::unknown_filter_type) {
    EXPECT_EQ(outcome.filter, c.filter_count - 1) << c.what;
  }
  EXPECT_EQ(bytes(page.data(), page.data() + page.page_size()), before) << c.what;
  EXPECT_EQ(page.strings_length(), 4u) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Caps, FilterBlockRefusal,
    testing::Values(
        refusal_case{"256 filters", 256, 0, cifs::filter_type_type, 65536, filter_block_status::too_many_filters},
        refusal_case{"256 patterns", 2, 256, cifs::filter_type_type, 65536, filter_block_status::too_many_patterns},
        refusal_case{"unknown type", 3, 1, 9, 65536, filter_block_status::unknown_filter_type},
        // 12 + 20 + "type\0" + 255 * "pattern\0" = 2077 bytes: more than a 2048-byte page holds
        refusal_case{"page full", 1, 255, cifs::filter_type_type, 2048, filter_block_status::does_not_fit}));

TEST(FilterBlock, FitIsMeasuredOnTheCutTexts) {
  const std::string long_type(1000, 't');  // counts as 7 bytes once cut
  const sv patterns[] = {long_type};
  const block_filter filters[] = {{cifs::filter_type_type, "type", patterns}};
  const size_t block = 12 + 20 + 5 + 8;
  page_request exact = volume_page(static_cast<long>(28 + 4 + block));
  EXPECT_EQ(cifs::write_filter_block(exact, {cifs::match_type_all, filters}, 8).status, filter_block_status::written);
  EXPECT_EQ(exact.room(), 0u);
  page_request short_by_one = volume_page(static_cast<long>(28 + 4 + block - 1));
  EXPECT_EQ(cifs::write_filter_block(short_by_one, {cifs::match_type_all, filters}, 8).status,
            filter_block_status::does_not_fit);
}

TEST(BlockFilterSink, WritesWhatItWasHandedAsOneBlock) {
  page_request page = volume_page(4096);
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
  page_request page = volume_page(header + 128);
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
  page_request page = volume_page(header + 15);
  cifs::block_filter_sink sink(page, cifs::open_files_type_pattern_bound);
  EXPECT_EQ(sink.begin(cifs::match_type_all, "all"), filter_refusal::does_not_fit);
}

TEST(BlockFilterSink, EveryFilterOfAFullPageFitsExactly) {
  // Filters with one empty pattern each: 20 + 5 + 1 bytes apiece.
  const size_t filters = 10;
  page_request page = volume_page(static_cast<long>(header + 4 + 12 + filters * 26));
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
