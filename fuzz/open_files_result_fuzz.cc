// The open files result: its header as the library mallocs it, then the
// records of the mapped object, walked in both forms with the count the
// header claims, honest or lying. What the walkers say is checked against
// the layout read here independently: the records found by chaining fixed
// headers and strings lengths, and each text offset of a record looked up in
// its own string area. The check and the cursor must agree on every page.
//
// Input: u8 count mode (mod 4: the raw count, the records present, one more,
// the raw count mod the records present + 2) | u32 raw count |
// u16 header length (mod 512) | the header's bytes | the rest: the object.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "mgmtclient/list_result.h"
#include "mgmtclient/open_file_records.h"
#include "mgmtclient/open_file_texts.h"
#include "mgmtclient/open_files_result.h"
#include "values/library_buffer.h"

namespace {

using cifs::open_files_form;
using cifs::result_fault;
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
// not merely equal ones, holding no NUL, with its NUL right after it.
void check_same_text(std::string_view got, std::optional<std::string_view> expected) {
  if (!expected || expected->empty()) {
    FUZZ_CHECK(got.empty());
    return;
  }
  FUZZ_CHECK(got.data() == expected->data() && got.size() == expected->size());
  FUZZ_CHECK(std::memchr(got.data(), '\0', got.size()) == nullptr && got.data()[got.size()] == '\0');
}

void check_header(const uint8_t *buffer) {
  const size_t size = cifs::library_buffer_size(buffer);
  const cifs::byte_reader bytes(buffer, size);
  cifs::list_result_header header{};
  const cifs::result_problem problem = cifs::read_list_result_header(bytes, &header);
  const auto name = cifs::read_list_result_object_name(bytes);
  char line[96];
  cifs::describe_result_problem(problem, line, sizeof line);
  FUZZ_CHECK(strnlen(line, sizeof line) < sizeof line);

  if (size < sizeof(cifs::open_files_result_header)) {
    FUZZ_CHECK(problem.fault == result_fault::header_short && problem.value == size);
    FUZZ_CHECK(!name);
    return;
  }
  const uint8_t *strings = buffer + sizeof(cifs::open_files_result_header);
  const size_t strings_length = size - sizeof(cifs::open_files_result_header);
  const uint32_t cookie_offset = value_at<uint32_t>(buffer, 4), name_offset = value_at<uint32_t>(buffer, 8);
  const auto cookie_text = cookie_offset == cifs::absent_offset ? std::optional<std::string_view>("")
                                                                : text_in(strings, strings_length, cookie_offset);
  const auto name_text =
      name_offset == cifs::absent_offset ? std::nullopt : text_in(strings, strings_length, name_offset);

  // The name alone is read whatever else is wrong.
  FUZZ_CHECK(name.has_value() == name_text.has_value());
  if (name) check_same_text(*name, name_text);
  if (!cookie_text) {
    FUZZ_CHECK(problem.fault == result_fault::cookie && problem.value == cookie_offset);
  } else if (!name_text) {
    FUZZ_CHECK(problem.fault == result_fault::object_name && problem.value == name_offset);
  } else {
    FUZZ_CHECK(!problem);
    FUZZ_CHECK(header.count == value_at<uint32_t>(buffer, 0) && header.object_size == value_at<uint64_t>(buffer, 16));
    check_same_text(header.cookie, cookie_text);
    // The object is opened by this name's data: it must end inside the buffer.
    FUZZ_CHECK(header.object_name.data() == name_text->data() && header.object_name.size() == name_text->size());
    FUZZ_CHECK(header.object_name.data()[header.object_name.size()] == '\0');
  }
}

struct text_field {
  size_t offset_field;
  std::string_view cifs::open_file_view::*view;
  const char *name;
};

// In the order the walker reads them; the share name only in the connection form.
constexpr text_field text_fields[] = {
    {16, &cifs::open_file_view::name, "file name"},
    {24, &cifs::open_file_view::full_path, "full path"},
    {28, &cifs::open_file_view::user_name, "user name"},
    {32, &cifs::open_file_view::client_address, "client address"},
    {20, &cifs::open_file_view::share_name, "share name"},
};

std::optional<std::string_view> record_text(const uint8_t *object, const frame &f, size_t offset_field) {
  const uint32_t offset = value_at<uint32_t>(object, f.at + offset_field);
  if (offset == cifs::absent_offset) return std::string_view();
  return text_in(object + f.at + fixed, f.strings_length, offset);
}

// The first field of the record the form cannot read, or none.
const text_field *first_bad_text(const uint8_t *object, const frame &f, open_files_form form) {
  const size_t fields = form == open_files_form::connection ? 5 : 4;
  for (size_t i = 0; i < fields; ++i)
    if (!record_text(object, f, text_fields[i].offset_field)) return &text_fields[i];
  return nullptr;
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

bool same_text(const char *a, const char *b) { return a == b || (a && b && std::strcmp(a, b) == 0); }

bool same_problem(const cifs::result_problem &a, const cifs::result_problem &b) {
  return a.fault == b.fault && a.record == b.record && a.value == b.value && same_text(a.field, b.field);
}

// Walks the object in one form; the files it read in full.
std::vector<cifs::open_file_view> walk(const uint8_t *object, size_t size, uint32_t count, open_files_form form,
                                       const std::vector<frame> &frames, cifs::result_problem *problem) {
  const cifs::byte_reader mapping(object, size);
  cifs::open_files_cursor cursor(mapping, count, form);
  std::vector<cifs::open_file_view> files;
  cifs::open_file_view file;
  while (cursor.next(&file)) {
    FUZZ_CHECK(files.size() < count && files.size() < frames.size());
    check_file(file, object, frames[files.size()], form);
    files.push_back(file);
  }
  FUZZ_CHECK(!cursor.next(&file));  // stays stopped
  *problem = cursor.problem();
  // Validate-first sees exactly what the cursor saw.
  FUZZ_CHECK(same_problem(cifs::check_open_files(mapping, count, form), *problem));

  if (count > size / fixed) {
    FUZZ_CHECK(problem->fault == result_fault::count && problem->value == count && files.empty());
    return files;
  }
  // The records read in full are the ones in front of the first bad text, or
  // of the first record the object does not hold.
  size_t sound = 0;
  const text_field *bad = nullptr;
  while (sound < count && sound < frames.size() && !(bad = first_bad_text(object, frames[sound], form))) ++sound;
  FUZZ_CHECK(files.size() == sound);
  if (sound == count) {
    FUZZ_CHECK(!*problem && problem->record == 0);
    return files;
  }
  FUZZ_CHECK(problem->record == sound);
  if (sound < frames.size()) {
    FUZZ_CHECK(problem->fault == result_fault::record_text && same_text(problem->field, bad->name));
    FUZZ_CHECK(problem->value == value_at<uint32_t>(object, frames[sound].at + bad->offset_field));
  } else {
    const size_t next = frames.empty() ? 0 : frames.back().at + fixed + frames.back().strings_length;
    if (size - next < fixed) {
      FUZZ_CHECK(problem->fault == result_fault::record_header && problem->value == next);
    } else {
      FUZZ_CHECK(problem->fault == result_fault::record_strings);
      FUZZ_CHECK(problem->value == value_at<uint32_t>(object, next + 36));
    }
  }
  char line[160];
  cifs::describe_result_problem(*problem, line, sizeof line);
  FUZZ_CHECK(strnlen(line, sizeof line) < sizeof line);
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::input in(data, size);
  const uint8_t count_mode = in.byte() % 4;
  const uint32_t raw_count = in.value<uint32_t>();
  uint8_t *header = fuzz::malloc_copy(in.take(in.value<uint16_t>() % 512));
  check_header(header);
  std::free(header);

  // Exactly the object's bytes: ASan stands at both ends of it.
  const auto object_bytes = in.rest();
  uint8_t *object = fuzz::malloc_copy(object_bytes);
  const size_t object_size = object_bytes.size();
  const std::vector<frame> frames = fuzz::chain(object, object_size, fixed, 36);
  const uint32_t count = fuzz::choose_count(count_mode, raw_count, frames.size());

  cifs::result_problem share_problem, connection_problem;
  const auto share_files = walk(object, object_size, count, open_files_form::share, frames, &share_problem);
  const auto connection_files =
      walk(object, object_size, count, open_files_form::connection, frames, &connection_problem);
  // The connection form reads one text more, so it never reads further.
  FUZZ_CHECK(connection_files.size() <= share_files.size());
  if (!connection_problem) FUZZ_CHECK(!share_problem);
  std::free(object);
  return 0;
}
