#include "mgmtclient/list_result.h"

#include <cinttypes>
#include <iterator>

#include "mgmtclient/open_file_records.h"
#include "values/bounded_text.h"

namespace cifs {

namespace {

// Each fault reads "[record R: ]<field><subject> <value> <complaint>".
struct fault_text {
  const char *subject;
  const char *complaint;
  bool per_record;
};

constexpr fault_text fault_texts[] = {
    /* none */ {"no fault", "", false},
    /* header_short */ {"result header size", "is shorter than 24 bytes", false},
    /* cookie */ {"cookie offset", "does not end inside the result header", false},
    /* object_name */ {"shared memory name offset", "does not end inside the result header", false},
    /* count */ {"count", "does not fit the shared memory object", false},
    /* record_header */ {"header at byte", "runs past the shared memory object", true},
    /* record_strings */ {"strings length", "runs past the shared memory object", true},
    /* record_text */ {" offset", "does not end inside the record's strings", true},
};
static_assert(std::size(fault_texts) == static_cast<size_t>(result_fault::record_text) + 1);

}  // namespace

void describe_result_problem(const result_problem &p, char *out, size_t size) {
  const fault_text &text = fault_texts[static_cast<size_t>(p.fault)];
  char record[32] = "";
  if (text.per_record) format_bounded(record, sizeof record, "record %" PRIu32 ": ", p.record);
  format_bounded(out, size, "%s%s%s %" PRIu64 " %s", record, p.field ? p.field : "", text.subject, p.value,
                 text.complaint);
}

result_problem read_list_result_header(byte_reader header, list_result_header *out) {
  // The open files header is the layout of every list result header.
  constexpr size_t fixed = sizeof(open_files_result_header);
  auto count = header.value_at<uint32_t>(offsetof(open_files_result_header, file_count));
  auto cookie_offset = header.value_at<uint32_t>(offsetof(open_files_result_header, cookie_offset));
  auto name_offset = header.value_at<uint32_t>(offsetof(open_files_result_header, shm_name_offset));
  auto size = header.value_at<uint64_t>(offsetof(open_files_result_header, shm_size));
  if (!count || !cookie_offset || !name_offset || !size) return {result_fault::header_short, 0, header.size()};
  const byte_reader strings = *header.sub(fixed, header.size() - fixed);  // fits: the size field did

  auto cookie = record_text(strings, *cookie_offset);
  if (!cookie) return {result_fault::cookie, 0, *cookie_offset};
  auto name = *name_offset == absent_offset ? std::nullopt : strings.text_at(*name_offset);
  if (!name) return {result_fault::object_name, 0, *name_offset};
  *out = {*count, *cookie, *name, *size};
  return {};
}

std::optional<std::string_view> read_list_result_object_name(byte_reader header) {
  constexpr size_t fixed = sizeof(open_files_result_header);
  const auto offset = header.value_at<uint32_t>(offsetof(open_files_result_header, shm_name_offset));
  const auto strings = header.sub(fixed, header.size() < fixed ? 0 : header.size() - fixed);
  if (!offset || !strings || *offset == absent_offset) return std::nullopt;
  return strings->text_at(*offset);
}

std::optional<std::string_view> record_text(byte_reader strings, uint32_t offset) {
  if (offset == absent_offset) return std::string_view();
  return strings.text_at(offset);
}

record_cursor::record_cursor(byte_reader object, uint32_t count, size_t fixed_size, size_t strings_length_field)
    : object_(object), count_(count), fixed_size_(fixed_size), strings_length_field_(strings_length_field) {
  // Each record takes at least its fixed header: a count beyond that is a lie
  // told before the first record, and is reported as such.
  if (fixed_size_ == 0 || count_ > object_.size() / fixed_size_) problem_ = {result_fault::count, 0, count_};
}

bool record_cursor::next(record_frame *frame) {
  if (problem_ || index_ >= count_) return false;
  auto fixed = object_.sub(at_, fixed_size_);
  auto strings_length = fixed ? fixed->value_at<uint32_t>(strings_length_field_) : std::nullopt;
  if (!strings_length) {
    problem_ = {result_fault::record_header, index_, at_};
    return false;
  }
  auto strings = object_.sub(at_ + fixed_size_, *strings_length);
  if (!strings) {
    problem_ = {result_fault::record_strings, index_, *strings_length};
    return false;
  }
  *frame = {index_, *fixed, *strings};
  ++index_;
  at_ += fixed_size_ + *strings_length;
  return true;
}

}  // namespace cifs
