// The connections list's filter record and matcher: the sink's ownership
// rules (run under the sanitizers, a leak fails) and the per-filter tests.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <string>

#include "connections/connection_filters.h"
#include "connections/connection_matcher.h"

namespace cifs {
namespace {

struct filter_spec {
  connection_filter_slot slot;
  std::initializer_list<const char *> patterns;
};

void fill(connection_filters_owner &owner, const char *match_type, std::initializer_list<filter_spec> filters) {
  connection_filter_sink sink(owner.record());
  ASSERT_EQ(sink.begin(0, match_type), filter_refusal::none);
  for (const filter_spec &f : filters) {
    ASSERT_EQ(sink.filter(f.slot, "", f.patterns.size()), filter_refusal::none);
    for (const char *p : f.patterns) ASSERT_EQ(sink.pattern(p), filter_refusal::none);
  }
  ASSERT_EQ(sink.finish(), filter_refusal::none);
}

connection_record connection(uint16_t number, uint64_t login_time = 0, const char *status = "") {
  connection_record r{};
  r.connection_number = number;
  r.login_time = login_time;
  std::strncpy(r.status, status, sizeof r.status);
  return r;
}

bool keeps(const connection_filters_owner &owner, const connection_record &record) {
  return match_connection(owner.record(), record).verdict == match_verdict::keep;
}

TEST(ConnectionFilterSink, StoresWholeFiltersOnlyAndReplacesRepeatedOnes) {
  connection_filters_owner owner;
  {
    connection_filter_sink sink(owner.record());
    ASSERT_EQ(sink.begin(0, "any"), filter_refusal::none);
    ASSERT_EQ(sink.filter(slot_status, "status", 2), filter_refusal::none);
    ASSERT_EQ(sink.pattern("Active"), filter_refusal::none);
    ASSERT_EQ(sink.pattern(std::string(40, 'x')), filter_refusal::none);
    ASSERT_EQ(sink.filter(slot_status, "status", 1), filter_refusal::none);  // replaces the first
    ASSERT_EQ(sink.pattern("Idle"), filter_refusal::none);
    ASSERT_EQ(sink.filter(slot_name, "name", 3), filter_refusal::none);
    ASSERT_EQ(sink.pattern("1"), filter_refusal::none);
    // Refused half-way: the name filter is dropped, the status filter stays.
  }
  const cifs_advanced_filters &record = owner.record();
  EXPECT_STREQ(record.match_type, "any");
  ASSERT_EQ(record.slots[slot_status].count, 1);
  EXPECT_STREQ(record.slots[slot_status].patterns[0], "Idle");
  EXPECT_EQ(record.slots[slot_name].count, 0);
  EXPECT_EQ(record.slots[slot_name].patterns, nullptr);
}

TEST(ConnectionFilterSink, AnEmptyFilterTakesTheSlotOutOfUse) {
  connection_filters_owner owner;
  fill(owner, "all", {{slot_status, {"Active"}}, {slot_status, {}}});
  EXPECT_EQ(owner.record().slots[slot_status].count, 0);
  EXPECT_EQ(owner.record().slots[slot_status].patterns, nullptr);
  owner.release();
  owner.release();  // twice is harmless
}

TEST(ConnectionMatcher, RangeBoundsParseAsWholeSignedDecimals) {
  int error = -1;
  EXPECT_EQ(parse_range_bound("1700000000", &error), 1700000000);
  EXPECT_EQ(parse_range_bound("-5", &error), -5);
  EXPECT_EQ(parse_range_bound("9223372036854775807", &error), INT64_MAX);
  for (const char *bad : {"12kB", "", "abc", "1 "}) {
    EXPECT_FALSE(parse_range_bound(bad, &error)) << bad;
    EXPECT_EQ(error, 0) << bad;
  }
  EXPECT_FALSE(parse_range_bound("9223372036854775808", &error));
  EXPECT_EQ(error, ERANGE);
}

TEST(ConnectionMatcher, RangePairsTreatZeroAsNoBound) {
  connection_filters_owner at_or_after, at_or_before, exactly_zero, between;
  fill(at_or_after, "all", {{slot_login_time, {"100", "0"}}});
  fill(at_or_before, "all", {{slot_login_time, {"0", "100"}}});
  fill(exactly_zero, "all", {{slot_login_time, {"0", "0"}}});
  fill(between, "all", {{slot_login_time, {"10", "20"}}});
  EXPECT_TRUE(keeps(at_or_after, connection(1, 100)));
  EXPECT_FALSE(keeps(at_or_after, connection(1, 99)));
  EXPECT_TRUE(keeps(at_or_before, connection(1, 100)));
  EXPECT_FALSE(keeps(at_or_before, connection(1, 101)));
  EXPECT_TRUE(keeps(exactly_zero, connection(1, 0)));
  EXPECT_FALSE(keeps(exactly_zero, connection(1, 1)));
  EXPECT_TRUE(keeps(between, connection(1, 20)));
  EXPECT_FALSE(keeps(between, connection(1, 21)));
}

TEST(ConnectionMatcher, ReportsTheFirstInvalidPatternReached) {
  connection_filters_owner owner;
  fill(owner, "any", {{slot_status, {"Active"}}, {slot_login_time, {"0", "0", "1x", "2"}}});
  EXPECT_TRUE(keeps(owner, connection(1, 0, "Idle")));  // the first pair matches: "1x" is never read
  const connection_match match = match_connection(owner.record(), connection(1, 5, "Active"));
  ASSERT_EQ(match.verdict, match_verdict::invalid_pattern);
  EXPECT_STREQ(match.invalid.filter_key, "loginTime");
  EXPECT_EQ(match.invalid.pattern, "1x");
  EXPECT_EQ(match.invalid.error_number, 0);
}

TEST(ConnectionMatcher, NameIsASubstringOfTheNumberNoLongerThanIt) {
  connection_filters_owner owner;
  fill(owner, "all", {{slot_name, {"12"}}});
  for (uint16_t number : {12, 112, 1203, 65512}) EXPECT_TRUE(keeps(owner, connection(number))) << number;
  for (uint16_t number : {1, 21, 102}) EXPECT_FALSE(keeps(owner, connection(number))) << number;
}

TEST(ConnectionMatcher, ReadsFixedFieldsNoFurtherThanTheirSize) {
  connection_filters_owner owner;
  fill(owner, "all", {{slot_status, {std::string(31, 's').c_str()}}});
  connection_record full = connection(1);
  std::memset(full.status, 's', sizeof full.status);  // no NUL: 32 bytes of text
  std::memset(full.privileges, 'p', sizeof full.privileges);
  EXPECT_FALSE(keeps(owner, full));
  full.status[31] = '\0';
  EXPECT_TRUE(keeps(owner, full));
}

}  // namespace
}  // namespace cifs
