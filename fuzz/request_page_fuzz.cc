// The page-sized request builder and the advanced filter block, driven by a
// run of operations from the input against a shadow page kept here. After
// every operation the page equals the shadow byte for byte, so a refused
// operation has left it untouched and an accepted one wrote nothing but its
// own bytes; the header's strings length field holds the builder's strings
// length. A written block is parsed back by a reader of its own here and must
// hold the filters as cut (filterBy to 31 bytes, each pattern to its bound
// less one, never inside a UTF-8 character). The block form's sink, handed
// the same filters on a twin of the page, must end with the same bytes.
//
// Input: u8 page mode (mod 4: 28 + u16 mod 2048 bytes; 4096; 16384; a raw
// i16, maybe too small or negative) | u8 layout mode (0: the open files
// request; else u8 header size mod 64, u8 strings length field mod 72, u8
// filters offset field mod 72) | up to 48 operations, each a u8 (mod 6) and
// its operands:
//   0 text: u16 bound (mod 1100) | the text (u16 length mod 1200)
//   1 bytes: u16 length (mod 600) | the bytes
//   2 header field: u8 width (1, 4 or 8) | u8 offset (mod 72) | u64 value
//   3 rewind: u16 length
//   4 filter block: u8 form (bit 0: the invalid users "type" bound) |
//     u32 match type | u8 filter count (from 250: 250 + u8 mod 10) | per
//     filter: u8 kind (mod 4: "type", "search-name" twice, a raw u32 code) |
//     filterBy (u16 length mod 48) | u8 pattern count (255: 255 + u8 mod 3) |
//     the patterns (u16 length mod 900). Filter texts end at their first NUL,
//     as the request's texts do.
//   5 no filter block
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "wire/open_file_records.h"
#include "wire/filter_block.h"
#include "wire/filter_block_sink.h"
#include "wire/page_request.h"

namespace {

using cifs::filter_block_status;
using fuzz::value_at;

// The bytes a copy bounded by `bound` (its NUL included) keeps: all that fit,
// less the start of a character the cut would split.
size_t cut_length(std::string_view text, size_t bound) {
  if (bound == 0) return 0;
  if (text.size() < bound) return text.size();
  size_t length = bound - 1;
  auto continuation = [&](size_t i) { return (static_cast<uint8_t>(text[i]) & 0xC0) == 0x80; };
  while (length > 0 && continuation(length)) --length;
  return length;
}

std::string_view cut(std::string_view text, size_t bound) { return text.substr(0, cut_length(text, bound)); }

size_t pattern_bound(uint32_t code, size_t type_bound) {
  return code == cifs::filter_type_search_name ? 768 : code == cifs::filter_type_type ? type_bound : 0;
}

// The page as it must be: every accepted operation is applied here too.
struct shadow_page {
  cifs::page_layout layout;
  bool allocated = false;
  std::vector<uint8_t> bytes;
  uint32_t length = 0;
  bool length_field_kept = true;  // false once a write other than the builder's own lands on it

  bool header_fits(size_t offset, size_t width) const {
    return offset <= layout.header_size && width <= layout.header_size - offset;
  }
  size_t room() const { return allocated ? bytes.size() - layout.header_size - length : 0; }
  uint8_t *area() { return bytes.data() + layout.header_size; }

  bool set(size_t offset, const void *value, size_t width) {
    if (!allocated || !header_fits(offset, width)) return false;
    std::memcpy(bytes.data() + offset, value, width);
    const size_t field = layout.strings_length_field;
    if (offset < field + 4 && field < offset + width) length_field_kept = false;
    return true;
  }
  void set_length(uint32_t value) {
    length = value;
    if (set(layout.strings_length_field, &value, sizeof value)) length_field_kept = true;
  }
};

void check_same(const cifs::page_request &page, const shadow_page &shadow) {
  FUZZ_CHECK((page.data() != nullptr) == shadow.allocated);
  FUZZ_CHECK(page.strings_length() == shadow.length && page.room() == shadow.room());
  if (!shadow.allocated) return;
  FUZZ_CHECK(page.page_size() == shadow.bytes.size());
  FUZZ_CHECK(std::memcmp(page.data(), shadow.bytes.data(), shadow.bytes.size()) == 0);
  if (shadow.length_field_kept && shadow.header_fits(shadow.layout.strings_length_field, 4))
    FUZZ_CHECK(value_at<uint32_t>(page.data(), shadow.layout.strings_length_field) == page.strings_length());
}

struct filter_set {
  uint32_t match_type = 0;
  size_t type_bound = 0;
  std::vector<uint32_t> codes;
  std::vector<std::string_view> filter_by;
  std::vector<std::vector<std::string_view>> patterns;
  std::vector<cifs::block_filter> filters;  // views of the above
};

std::string_view filter_text(fuzz::input &in, size_t max) {
  const std::string_view text = in.text(max);
  return text.substr(0, text.find('\0'));
}

void read_filters(fuzz::input &in, filter_set *set) {
  set->type_bound = in.byte() & 1 ? cifs::invalid_users_type_pattern_bound : cifs::open_files_type_pattern_bound;
  set->match_type = in.value<uint32_t>();
  size_t count = in.byte();
  if (count >= 250) count = 250 + in.byte() % 10;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t kind = in.byte() % 4;
    set->codes.push_back(kind == 0   ? cifs::filter_type_type
                         : kind < 3 ? cifs::filter_type_search_name
                                    : in.value<uint32_t>());
    set->filter_by.push_back(filter_text(in, 47));
    size_t patterns = in.byte();
    if (patterns == 255) patterns += in.byte() % 3;
    auto &texts = set->patterns.emplace_back();
    for (size_t j = 0; j < patterns; ++j) texts.push_back(filter_text(in, 899));
  }
  for (size_t i = 0; i < count; ++i) set->filters.push_back({set->codes[i], set->filter_by[i], set->patterns[i]});
}

// What the encoder must answer, and the block's size when it measured one.
cifs::filter_block_outcome expected_outcome(const filter_set &set, const shadow_page &shadow, size_t *block_size) {
  if (set.filters.size() > 255) return {filter_block_status::too_many_filters};
  size_t size = 12;
  for (size_t i = 0; i < set.filters.size(); ++i) {
    const size_t bound = pattern_bound(set.codes[i], set.type_bound);
    if (bound == 0) return {filter_block_status::unknown_filter_type, i};
    if (set.patterns[i].size() > 255) return {filter_block_status::too_many_patterns, i};
    size += 20 + cut_length(set.filter_by[i], 32) + 1;
    for (std::string_view pattern : set.patterns[i]) size += cut_length(pattern, bound) + 1;
  }
  *block_size = size;
  if (size > shadow.room() || !shadow.header_fits(shadow.layout.filters_offset_field, 4))
    return {filter_block_status::does_not_fit};
  return {filter_block_status::written};
}

// Reads a written block back through its counts, lengths and NULs alone.
void check_block(const uint8_t *block, size_t size, const filter_set &set) {
  FUZZ_CHECK(size >= 12 && block[0] == set.filters.size() && block[1] == 0 && block[2] == 0 && block[3] == 0);
  FUZZ_CHECK(value_at<uint32_t>(block, 4) == set.match_type && value_at<uint32_t>(block, 8) == size - 12);
  size_t entry = 12;
  for (size_t i = 0; i < set.filters.size(); ++i) {
    FUZZ_CHECK(size - entry >= 20);
    const uint8_t *header = block + entry;
    FUZZ_CHECK(value_at<uint32_t>(header, 0) == set.codes[i] && header[4] == set.patterns[i].size());
    FUZZ_CHECK(header[5] == 0 && header[6] == 0 && header[7] == 0 && value_at<uint32_t>(header, 8) == 0);
    const uint32_t patterns_offset = value_at<uint32_t>(header, 12), strings_length = value_at<uint32_t>(header, 16);
    FUZZ_CHECK(strings_length <= size - entry - 20);
    const char *strings = reinterpret_cast<const char *>(header + 20);
    size_t read = 0;
    auto next_text = [&] {
      const void *nul = std::memchr(strings + read, '\0', strings_length - read);
      FUZZ_CHECK(nul != nullptr);
      const std::string_view text(strings + read, static_cast<size_t>(static_cast<const char *>(nul) - strings) - read);
      read += text.size() + 1;
      return text;
    };
    FUZZ_CHECK(next_text() == cut(set.filter_by[i], 32) && read == patterns_offset);
    const size_t bound = pattern_bound(set.codes[i], set.type_bound);
    for (std::string_view pattern : set.patterns[i]) FUZZ_CHECK(next_text() == cut(pattern, bound));
    FUZZ_CHECK(read == strings_length);
    entry += 20 + strings_length;
  }
  FUZZ_CHECK(entry == size);
}

// Hands the filters to the block form's sink in request order; its answer.
cifs::filter_refusal through_sink(cifs::page_request &page, const filter_set &set) {
  cifs::block_filter_sink sink(page, set.type_bound);
  cifs::filter_refusal refusal = sink.begin(set.match_type, "match");
  for (size_t i = 0; i < set.filters.size() && refusal == cifs::filter_refusal::none; ++i) {
    refusal = sink.filter(set.codes[i], set.filter_by[i], set.patterns[i].size());
    for (size_t j = 0; j < set.patterns[i].size() && refusal == cifs::filter_refusal::none; ++j)
      refusal = sink.pattern(set.patterns[i][j]);
  }
  return refusal == cifs::filter_refusal::none ? sink.finish() : refusal;
}

struct run {
  cifs::page_layout layout;
  long page_size;
  cifs::page_request page;
  shadow_page shadow;
};

// A page built like `page`, holding the same bytes.
void copy_into(const cifs::page_request &page, cifs::page_request &twin) {
  if (!page.data()) return;
  FUZZ_CHECK(twin.append_bytes(page.data() + page.layout().header_size, page.strings_length()));
  // The header last: the append rewrote the strings length field.
  for (size_t i = 0; i < page.layout().header_size; ++i) FUZZ_CHECK(twin.set_field<uint8_t>(i, page.data()[i]));
}

void filter_block_step(fuzz::input &in, run &r) {
  filter_set set;
  read_filters(in, &set);
  cifs::page_request twin(r.layout, r.page_size);
  copy_into(r.page, twin);
  const cifs::filter_refusal sink_refusal = through_sink(twin, set);

  size_t block_size = 0;
  const auto expected = expected_outcome(set, r.shadow, &block_size);
  const auto outcome = cifs::write_filter_block(r.page, {set.match_type, set.filters}, set.type_bound);
  FUZZ_CHECK(outcome.status == expected.status && outcome.filter == expected.filter);
  if (outcome.status == filter_block_status::written) {
    const uint32_t block_at = r.shadow.length;
    check_block(r.page.data() + r.layout.header_size + block_at, block_size, set);
    std::memcpy(r.shadow.area() + block_at, r.page.data() + r.layout.header_size + block_at, block_size);
    r.shadow.set_length(static_cast<uint32_t>(block_at + block_size));
    FUZZ_CHECK(r.shadow.set(r.layout.filters_offset_field, &block_at, sizeof block_at));
  } else if (block_size && block_size <= r.shadow.room()) {
    // A layout whose filters offset field lies outside its header: the block
    // was laid and taken back, which writes the strings length field again.
    r.shadow.set_length(r.shadow.length);
  }
  // The sink writes the same block, or refuses it as not fitting and leaves its page as it was.
  FUZZ_CHECK((sink_refusal == cifs::filter_refusal::none) == (outcome.status == filter_block_status::written));
  FUZZ_CHECK(sink_refusal == cifs::filter_refusal::none || sink_refusal == cifs::filter_refusal::does_not_fit);
  FUZZ_CHECK(twin.strings_length() == r.page.strings_length());
  if (r.page.data()) FUZZ_CHECK(std::memcmp(twin.data(), r.page.data(), r.page.page_size()) == 0);
}

void text_step(fuzz::input &in, run &r) {
  const size_t bound = in.value<uint16_t>() % 1100;
  const std::string_view text = in.text(1199);
  FUZZ_CHECK(cifs::bounded_text_length(text, bound) == cut_length(text, bound));
  const size_t length = cut_length(text, bound);
  const uint32_t offset = r.shadow.length;
  const bool fits = bound > 0 && length < r.shadow.room();
  const auto got = r.page.append_text(text, bound);
  FUZZ_CHECK(got.has_value() == fits);
  if (!fits) return;
  FUZZ_CHECK(*got == offset);
  std::memcpy(r.shadow.area() + offset, text.data(), length);
  r.shadow.area()[offset + length] = 0;
  r.shadow.set_length(static_cast<uint32_t>(offset + length + 1));
}

void bytes_step(fuzz::input &in, run &r) {
  const auto bytes = in.take(in.value<uint16_t>() % 600);
  const uint32_t offset = r.shadow.length;
  const bool fits = r.shadow.allocated && bytes.size() <= r.shadow.room();
  const auto got = r.page.append_bytes(bytes.data(), bytes.size());
  FUZZ_CHECK(got.has_value() == fits);
  if (!fits) return;
  FUZZ_CHECK(*got == offset);
  if (!bytes.empty()) std::memcpy(r.shadow.area() + offset, bytes.data(), bytes.size());
  r.shadow.set_length(static_cast<uint32_t>(offset + bytes.size()));
}

void field_step(fuzz::input &in, run &r) {
  const uint8_t width = in.byte() % 3;
  const size_t offset = in.byte() % 72;
  const uint64_t value = in.value<uint64_t>();
  bool set = false;
  switch (width) {
    case 0: set = r.page.set_field(offset, static_cast<uint8_t>(value)); break;
    case 1: set = r.page.set_field(offset, static_cast<uint32_t>(value)); break;
    default: set = r.page.set_field(offset, value); break;
  }
  FUZZ_CHECK(set == r.shadow.set(offset, &value, width == 0 ? 1 : width == 1 ? 4 : 8));
}

void rewind_step(fuzz::input &in, run &r) {
  const uint16_t length = in.value<uint16_t>();
  r.page.rewind(length);
  if (!r.shadow.allocated || length >= r.shadow.length) return;
  std::memset(r.shadow.area() + length, 0, r.shadow.length - length);
  r.shadow.set_length(length);
}

void no_filter_block_step(fuzz::input &, run &r) {
  const uint32_t absent = cifs::absent_offset;
  FUZZ_CHECK(cifs::write_no_filter_block(r.page) == r.shadow.set(r.layout.filters_offset_field, &absent, 4));
}

using step = void (*)(fuzz::input &, run &);
constexpr step steps[] = {text_step, bytes_step, field_step, rewind_step, filter_block_step, no_filter_block_step};

long page_size(fuzz::input &in) {
  switch (in.byte() % 4) {
    case 0: return 28 + in.value<uint16_t>() % 2048;
    case 1: return 4096;
    case 2: return 16384;
    default: return in.value<int16_t>();
  }
}

cifs::page_layout layout(fuzz::input &in) {
  if (in.byte() == 0) return cifs::open_files_request_layout;
  const size_t header = in.byte() % 64, length_field = in.byte() % 72, filters_field = in.byte() % 72;
  return {header, length_field, filters_field};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::input in(data, size);
  const long size_asked = page_size(in);
  const cifs::page_layout chosen = layout(in);
  run r{chosen, size_asked, cifs::page_request(chosen, size_asked), shadow_page{.layout = chosen}};

  const bool too_small = size_asked < 0 || static_cast<size_t>(size_asked) <= chosen.header_size;
  FUZZ_CHECK((r.page.failed() == cifs::page_request::failure::page_size) == too_small);
  FUZZ_CHECK(too_small || r.page.failed() == cifs::page_request::failure::none);
  if (size_asked >= 0 && too_small) FUZZ_CHECK(r.page.error() == EINVAL);
  if (!too_small) {
    r.shadow.allocated = true;
    r.shadow.bytes.assign(static_cast<size_t>(size_asked), 0);
  }
  check_same(r.page, r.shadow);

  for (int i = 0; i < 48 && in.remaining(); ++i) {
    steps[in.byte() % std::size(steps)](in, r);
    check_same(r.page, r.shadow);
  }

  const uint8_t *before = r.page.data();
  const auto released = r.page.release();
  FUZZ_CHECK(released.get() == before && r.page.data() == nullptr && r.page.room() == 0);
  FUZZ_CHECK(!r.page.append_bytes("", 0) && !r.page.append_text("", 1));
  return 0;
}
