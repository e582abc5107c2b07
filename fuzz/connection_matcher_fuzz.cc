// The connections list's filters: a filter record filled through the sink the
// parser uses (repeated filterBy values, empty and oversized pattern lists,
// texts cut to their buffers), tested against a connection record of
// arbitrary bytes. The match types must agree with one another: "none" keeps
// exactly what "any" drops, and an invalid pattern is reported alike by all.
//
// Input: u8 filter count | per filter: u8 slot, u8 pattern count, texts
// (u16 length + bytes) | 418 bytes of connection record.
#include <cstdint>
#include <cstring>

#include "wire/connection_filters.h"
#include "wire/connection_matcher.h"
#include "fuzz_input.h"

namespace {

cifs::connection_match match_as(cifs::cifs_advanced_filters &filters, const char *type,
                                const cifs::connection_record &record) {
  std::memset(filters.match_type, 0, sizeof filters.match_type);
  std::memcpy(filters.match_type, type, std::strlen(type));
  return cifs::match_connection(filters, record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::input in(data, size);
  cifs::connection_filters_owner owner;
  {
    cifs::connection_filter_sink sink(owner.record());
    FUZZ_CHECK(sink.begin(1, "all") == cifs::filter_refusal::none);
    const uint8_t filters = in.byte() % 12;
    for (uint8_t f = 0; f < filters; ++f) {
      const uint32_t slot = in.byte() % (cifs::connection_filter_slot_count + 1);  // one past the slots too
      const uint8_t patterns = in.byte() % 8;
      if (sink.filter(slot, "x", patterns) != cifs::filter_refusal::none) break;
      for (uint8_t p = 0; p < patterns; ++p)
        FUZZ_CHECK(sink.pattern(in.text(40)) == cifs::filter_refusal::none);
    }
    (void)sink.finish();
  }
  for (const cifs::filter_slot &slot : owner.record().slots)
    for (uint32_t i = 0; i < slot.count; ++i) FUZZ_CHECK(std::strlen(slot.patterns[i]) < cifs::connection_pattern_size);

  cifs::connection_record record{};
  const auto bytes = in.take(sizeof record);
  std::memcpy(&record, bytes.data(), bytes.size());

  cifs::cifs_advanced_filters &filters = owner.record();
  const auto any = match_as(filters, "any", record);
  const auto none = match_as(filters, "none", record);
  const auto all = match_as(filters, "all", record);
  const bool invalid = any.verdict == cifs::match_verdict::invalid_pattern;
  FUZZ_CHECK((none.verdict == cifs::match_verdict::invalid_pattern) == invalid);
  FUZZ_CHECK((all.verdict == cifs::match_verdict::invalid_pattern) == invalid);
  if (!invalid) FUZZ_CHECK((any.verdict == cifs::match_verdict::keep) != (none.verdict == cifs::match_verdict::keep));
  FUZZ_CHECK(match_as(filters, "", record).verdict == cifs::match_verdict::keep);
  return 0;
}
