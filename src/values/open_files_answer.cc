#include "values/open_files_answer.h"

#include <iterator>

#include "wire/open_file_texts.h"
#include "wire/listing_page.h"
#include "request/failure.h"
#include "base/log.h"
#include "request/napi_call.h"
#include "values/builders.h"
#include "values/env_cache.h"
#include "values/keys.h"

namespace cifs {

namespace {

// The answer texts are the texts of the lock level and access right tables.
constexpr bool texts_match() {
  for (size_t i = 0; i < lock_level_names.size(); ++i)
    if (lock_level_names[i] != fixed_texts[t_lock_batch + i]) return false;
  for (size_t i = 0; i < std::size(access_rights_supported); ++i)
    if (access_rights_supported[i].name != fixed_texts[t_access_rd + i]) return false;
  return t_lock_batch + lock_level_names.size() == t_access_rd &&
         t_access_rd + std::size(access_rights_supported) == fixed_text_count;
}
static_assert(texts_match(), "answer_texts.h and open_file_texts.h list the same names");

constexpr size_t access_right_count = std::size(access_rights_supported);

}  // namespace

uint32_t access_rights_bits(uint32_t access_mask) {
  uint32_t bits = 0;
  for (size_t i = 0; i < access_right_count; ++i)
    if (access_mask & access_rights_supported[i].bit) bits |= 1u << i;
  return bits;
}

fixed_text lock_level_text(uint32_t level) { return static_cast<fixed_text>(t_lock_batch + lock_level_index(level)); }

template <record_kind Answer, record_kind File>
void convert_open_files_page(napi_env env, request_instance *instance, const answer_kit &kit,
                             const open_files_answer_form<Answer, File> &form) {
  const listing_page &page = instance->listing;
  if (!page.ok()) return;
  const char *converter = page.converter();
  const list_result_header &header = page.header();
  // The array is made with the number of files the copy holds, not the count claimed.
  const uint32_t listed = count_open_files(page.copy(), header.count);
  page.report_read(listed);
  napi_value files;
  napi_status status = napi_create_array_with_length(env, listed, &files);
  if (status != napi_ok) {
    CIFS_LOG_AS(converter, LOG_ERR, "Failed to create array to store list of open files, error: %d", status);
    return;
  }
  std::array<field, shape<Answer>::size> fields{};
  static constexpr element_texts texts{"Failed to create napi object to store individual file-object info", false};
  record_run<File> run(env, kit, files, converter, texts);
  open_files_cursor cursor(page.copy(), header.count, form.form);
  open_file_view file;
  for (uint32_t index = 0; cursor.next(&file); ++index) {
    if (index == 0 && form.connection_keys) {  // the connection's keys come from the first file
      fields[0] = field::of(make_uint32(env, ckey(k_connection_number), file.session_id));
      fields[1] = field::of(kit.answer_text(ckey(k_user_name), file.user_name));
      fields[2] = field::of(kit.answer_text(ckey(ck_client_ip_address), file.client_address));
    }
    if (!run.add(form.fields_of(kit, file), index)) return;
  }
  if (!run.finish()) return;

  constexpr size_t tail = shape<Answer>::size - 3;  // count, cookie and files close the answer
  fields[tail] = field::of(make_uint32(env, ckey(k_count), header.count));
  fields[tail + 1] = field::of(kit.answer_text(ckey(k_cookie), header.cookie));
  fields[tail + 2] = field::of(files);
  const built_record open_files = build_record<Answer>(env, kit, fields);
  if (open_files.object == nullptr) {
    CIFS_LOG_AS(converter, LOG_ERR, "Failed to create napi object to store open files data");
    return;
  }
  if ((status = kit.set(k_open_files, open_files.object)) != napi_ok)
    CIFS_LOG_AS(converter, LOG_ERR, "Failed to copy file-objects list into return object, error: %d", status);
}

template void convert_open_files_page(napi_env, request_instance *, const answer_kit &,
                                      const open_files_answer_form<r_open_files, r_open_file> &);
template void convert_open_files_page(napi_env, request_instance *, const answer_kit &,
                                      const open_files_answer_form<r_connection_open_files, r_connection_open_file> &);

}  // namespace cifs
