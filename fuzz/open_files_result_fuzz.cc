// The open files result: its header where the library keeps it, then the
// records of the copied object, walked in both forms with the count the
// header claims, honest or lying. What the walkers say is checked against
// the layout read here independently: the records found by chaining fixed
// headers and strings lengths, and each text offset of a record looked up in
// its own string area (empty when it does not end there).
//
// Input: u8 count mode (mod 4: the raw count, the records present, one more,
// the raw count mod the records present + 2) | u32 raw count |
// u16 header strings length (mod 2048) | the header's 24 + that many bytes,
// its two offsets taken modulo the strings length | the rest: the object.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "wire/library_limits.h"
#include "wire/list_result.h"
#include "wire/open_file_records.h"
#include "wire/open_file_texts.h"
#include "wire/open_files_result.h"
#include "base/bounded_text.h"

namespace {

using cifs::open_files_form;
using fuzz::frame;
using fuzz::value_at;

constexpr size_t fixed = sizeof(cifs::open_file_record);

// The text at `offset` of [area, area + length): up to its NUL, or nothing
// when the offset lies outside or no NUL ends it inside.
std::optional<std::string_view> text_in(const uint8_t *area, size_t length, uint32_t offset) {
  if (offset >= length) return std::nullopt;
  const auto *start = reinterpret_cast<const char *>(area + offset);
  const size_t n = strnlen(start, length - offset);
  if (n == length - offset) return std::nullopt;
  return std::string_view(start, n);
}

// A view handed out must be exactly what `expected` names: the same bytes,
// not merely equal ones; a text that cannot be read is empty.
void check_same_text(std::string_view got, std::optional<std::string_view> expected) {
  if (!expected || expected->empty()) {
    FUZZ_CHECK(got.empty());
    return;
  }
  FUZZ_CHECK(got.data() == expected->data() && got.size() == expected->size());
  FUZZ_CHECK(std::memchr(got.data(), '\0', got.size()) == nullptr && got.data()[got.size()] == '\0');
}

// The header's offsets are taken as given, so the case keeps them inside a
// buffer that also holds each text's whole bound behind it.
void check_header(fuzz::input &in) {
  const size_t strings_length = 1 + in.value<uint16_t>() % 2048;
  const size_t bounds = cifs::result_cookie_max + cifs::result_object_name_max;
  std::vector<uint8_t> buffer(24 + strings_length + bounds, 0);
  const auto given = in.take(buffer.size());
  std::memcpy(buffer.data(), given.data(), given.size());
  uint32_t offsets[2];
  for (size_t i = 0; i < 2; ++i) {
    offsets[i] = value_at<uint32_t>(buffer.data(), 4 + 4 * i);
    if (offsets[i] != cifs::absent_offset) offsets[i] %= strings_length;
    std::memcpy(buffer.data() + 4 + 4 * i, &offsets[i], 4);
  }
  const cifs::list_result_header header = cifs::read_list_result_header(buffer.data());
  FUZZ_CHECK(header.count == value_at<uint32_t>(buffer.data(), 0));
  FUZZ_CHECK(header.object_size == value_at<uint64_t>(buffer.data(), 16));
  const uint8_t *strings = buffer.data() + 24;

  if (offsets[0] == cifs::absent_offset) {
    FUZZ_CHECK(header.cookie.empty() && !header.cookie_cut);
  } else if (auto cookie = text_in(strings + offsets[0], cifs::result_cookie_max, 0)) {
    check_same_text(header.cookie, cookie);
    FUZZ_CHECK(!header.cookie_cut);
  } else {
    // Cut at its bound, never inside a character.
    const auto *start = reinterpret_cast<const char *>(strings + offsets[0]);
    FUZZ_CHECK(header.cookie_cut && header.cookie.data() == start);
    FUZZ_CHECK(header.cookie.size() == cifs::utf8_cut_length(start, cifs::result_cookie_max));
  }
  const auto name =
      offsets[1] == cifs::absent_offset ? std::nullopt : text_in(strings + offsets[1], cifs::result_object_name_max, 0);
  FUZZ_CHECK(header.object_name.has_value() == name.has_value());
  if (name) {
    FUZZ_CHECK(header.object_name->data() == name->data() && header.object_name->size() == name->size());
    FUZZ_CHECK(header.object_name->data()[header.object_name->size()] == '\0');  // opened by its data
  }
}

// In the order of the record; the share name only in the connection form.
constexpr struct {
  size_t offset_field;
  std::string_view cifs::open_file_view::*view;
} text_fields[] = {
    {16, &cifs::open_file_view::name},           {24, &cifs::open_file_view::full_path},
    {28, &cifs::open_file_view::user_name},      {32, &cifs::open_file_view::client_address},
    {20, &cifs::open_file_view::share_name},
};

std::optional<std::string_view> record_text(const uint8_t *object, const frame &f, size_t offset_field) {
  const uint32_t offset = value_at<uint32_t>(object, f.at + offset_field);
  if (offset == cifs::absent_offset) return std::string_view();
  return text_in(object + f.at + fixed, f.strings_length, offset);
}

void check_file(const cifs::open_file_view &file, const uint8_t *object, const frame &f, open_files_form form) {
  const uint8_t *record = object + f.at;
  FUZZ_CHECK(file.session_id == value_at<uint32_t>(record, 0) && file.file_id == value_at<uint32_t>(record, 4));
  FUZZ_CHECK(file.access_mask == value_at<uint32_t>(record, 8) && file.lock_level == value_at<uint32_t>(record, 12));
  const size_t fields = form == open_files_form::connection ? 5 : 4;
  for (size_t i = 0; i < fields; ++i)
    check_same_text(file.*text_fields[i].view, record_text(object, f, text_fields[i].offset_field));
  if (form == open_files_form::share) FUZZ_CHECK(file.share_name.empty());
  // The answer's texts derived from the record.
  const std::string_view type = cifs::file_type(file.name);
  FUZZ_CHECK(type.empty() || (file.name.ends_with(type) && type.find('.') == std::string_view::npos));
  FUZZ_CHECK(cifs::lock_level_index(file.lock_level) < cifs::lock_level_names.size());
}

// Walks the copy in one form: exactly the records that lie wholly in it, up
// to the count and the bound on records, and the first pass counts as many.
void walk(const uint8_t *object, size_t size, uint32_t count, open_files_form form, const std::vector<frame> &frames) {
  const cifs::byte_reader copy(object, size);
  cifs::open_files_cursor cursor(copy, count, form);
  size_t read = 0;
  cifs::open_file_view file;
  while (cursor.next(&file)) {
    FUZZ_CHECK(read < frames.size());
    check_file(file, object, frames[read++], form);
  }
  FUZZ_CHECK(!cursor.next(&file));  // stays stopped
  const size_t expected = std::min<size_t>(count, frames.size());
  FUZZ_CHECK(read == expected && cursor.read() == expected);
  FUZZ_CHECK(cifs::count_open_files(copy, count) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::input in(data, size);
  const uint8_t count_mode = in.byte() % 4;
  const uint32_t raw_count = in.value<uint32_t>();
  check_header(in);

  // Exactly the copy's bytes: ASan stands at both ends of it.
  const auto object_bytes = in.rest();
  uint8_t *object = fuzz::malloc_copy(object_bytes);
  const size_t object_size = object_bytes.size();
  const std::vector<frame> frames = fuzz::chain(object, object_size, fixed, 36);
  const uint32_t count = fuzz::choose_count(count_mode, raw_count, frames.size());
  walk(object, object_size, count, open_files_form::share, frames);
  walk(object, object_size, count, open_files_form::connection, frames);
  std::free(object);
  return 0;
}
