#include "values/filter_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using bytes = std::vector<uint8_t>;
using cifs::block_filter;
using cifs::filter_block_status;
using cifs::page_request;
using sv = std::string_view;

// A page holding the volume name "vol" (4 bytes), as the parser leaves it before the block.
page_request volume_page(long size) {
  page_request page(cifs::open_files_request_layout, size);
  EXPECT_TRUE(page.append_text("vol", cifs::open_files_volume_name_size));
  return page;
}

bytes area(const page_request &page) {
  const uint8_t *start = page.data() + sizeof(cifs::open_files_request);
  return bytes(start, start + page.strings_length());
}

uint32_t field32(const page_request &page, size_t offset) {
  uint32_t value;
  std::memcpy(&value, page.data() + offset, sizeof value);
  return value;
}

// The string area expected: the volume name, then `block`.
bytes with_block(const bytes &block) {
  bytes expected(4 + block.size());
  std::memcpy(expected.data(), "vol", 4);
  std::copy(block.begin(), block.end(), expected.begin() + 4);
  return expected;
}

TEST(FilterBlock, EmptyFilterSetIsAHeaderAlone) {
  page_request page = volume_page(4096);
  auto outcome = cifs::write_filter_block(page, {cifs::match_type_any, {}}, cifs::open_files_type_pattern_bound);
  ASSERT_EQ(outcome.status, filter_block_status::written);
  EXPECT_EQ(area(page), with_block({0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(field32(page, 20), 4u) << "filters offset";
  EXPECT_EQ(field32(page, 24), 16u) << "strings length grew by 12";
}

TEST(FilterBlock, EntriesAreLaidOutToTheByte) {
  const sv type_patterns[] = {"pdf", "document"};  // "document" is cut to 7 bytes
  const sv search_patterns[] = {"rep"};
  const block_filter filters[] = {{cifs::filter_type_type, "type", type_patterns},
                                  {cifs::filter_type_search_name, "search-name", search_patterns}};
  page_request page = volume_page(4096);
  ASSERT_EQ(cifs::write_filter_block(page, {cifs::match_type_all, filters}, cifs::open_files_type_pattern_bound).status,
            filter_block_status::written);
  EXPECT_EQ(area(page), with_block({
                            2, 0, 0, 0,  1, 0, 0, 0,  73, 0, 0, 0,  // count, all, entries length 37 + 36
                            1, 0, 0, 0,  2, 0, 0, 0,  0, 0, 0, 0,  5, 0, 0, 0,  17, 0, 0, 0,
                            't', 'y', 'p', 'e', 0, 'p', 'd', 'f', 0, 'd', 'o', 'c', 'u', 'm', 'e', 'n', 0,
                            2, 0, 0, 0,  1, 0, 0, 0,  0, 0, 0, 0,  12, 0, 0, 0,  16, 0, 0, 0,
                            's', 'e', 'a', 'r', 'c', 'h', '-', 'n', 'a', 'm', 'e', 0, 'r', 'e', 'p', 0,
                        }));
  EXPECT_EQ(field32(page, 20), 4u);
  EXPECT_EQ(field32(page, 24), 4u + 12u + 73u);
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

TEST(FilterLookups, AreExactAndCaseSensitive) {
  EXPECT_EQ(cifs::code_of(cifs::match_type_rows, "none"), std::optional<uint32_t>(cifs::match_type_none));
  for (sv refused : {"", "All", "ANY", "none ", "al"}) EXPECT_FALSE(cifs::code_of(cifs::match_type_rows, refused)) << refused;
  EXPECT_EQ(cifs::code_of(cifs::block_filter_by_rows, "search-name"), std::optional<uint32_t>(2));
  for (sv refused : {"Type", "search_name", "status"}) EXPECT_FALSE(cifs::code_of(cifs::block_filter_by_rows, refused)) << refused;
}

}  // namespace
