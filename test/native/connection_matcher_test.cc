// The connections list's filter record and matcher: the sink's ownership
// rules (run under the sanitizers, a leak fails) and a fixed field read to
// its size. The per-filter tests run through the connections suite.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "wire/connection_filters.h"
#include "wire/connection_matcher.h"

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
  owner.release();
  owner.release();  // twice is harmless
}

TEST(ConnectionMatcher, ReadsFixedFieldsNoFurtherThanTheirSize) {
  connection_filters_owner owner;
  fill(owner, "all", {{slot_status, {std::string(31, 's').c_str()}}});
  connection_record full{};
  std::memset(full.status, 's', sizeof full.status);  // no NUL: 32 bytes of text
  std::memset(full.privileges, 'p', sizeof full.privileges);
  EXPECT_FALSE(keeps(owner, full));
  full.status[31] = '\0';
  EXPECT_TRUE(keeps(owner, full));
}

}  // namespace
}  // namespace cifs
