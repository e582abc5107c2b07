#include "mgmtclient/open_files_result.h"

#include <cstddef>

#include "mgmtclient/open_file_records.h"

namespace cifs {

namespace {

struct text_field {
  size_t offset_field;
  std::string_view open_file_view::*target;
  const char *name;  // as the fault report calls it
};

constexpr text_field share_form_texts[] = {
    {offsetof(open_file_record, file_name_offset), &open_file_view::name, "file name"},
    {offsetof(open_file_record, full_path_offset), &open_file_view::full_path, "full path"},
    {offsetof(open_file_record, user_name_offset), &open_file_view::user_name, "user name"},
    {offsetof(open_file_record, client_address_offset), &open_file_view::client_address, "client address"},
};
constexpr text_field share_name_text = {offsetof(open_file_record, share_name_offset), &open_file_view::share_name,
                                        "share name"};

}  // namespace

open_files_cursor::open_files_cursor(byte_reader mapping, uint32_t count, open_files_form form)
    : records_(mapping, count, sizeof(open_file_record), offsetof(open_file_record, strings_length)), form_(form) {}

bool open_files_cursor::next(open_file_view *file) {
  if (problem_) return false;
  record_frame frame;
  if (!records_.next(&frame)) {
    problem_ = records_.problem();
    return false;
  }
  const open_file_record header = *frame.fixed.value_at<open_file_record>(0);  // the frame is one header
  open_file_view view{header.session_id, header.file_id, header.access_mask, header.lock_level, {}, {}, {}, {}, {}};

  auto read = [&](const text_field &field) {
    const uint32_t offset = *frame.fixed.value_at<uint32_t>(field.offset_field);
    auto text = record_text(frame.strings, offset);
    if (!text) problem_ = {result_fault::record_text, frame.index, offset, field.name};
    else view.*field.target = *text;
    return text.has_value();
  };
  for (const text_field &field : share_form_texts)
    if (!read(field)) return false;
  if (form_ == open_files_form::connection && !read(share_name_text)) return false;
  *file = view;
  return true;
}

result_problem check_open_files(byte_reader mapping, uint32_t count, open_files_form form) {
  open_files_cursor cursor(mapping, count, form);
  open_file_view file;
  while (cursor.next(&file)) {
  }
  return cursor.problem();
}

}  // namespace cifs
