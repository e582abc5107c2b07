#include "shares/open_files_answer.h"

#include <iterator>

#include "mgmtclient/open_file_texts.h"
#include "mgmtclient/listing_page.h"
#include "module/failure.h"
#include "module/log.h"
#include "module/napi_call.h"
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

napi_status add_access_rights_info_to_object(napi_env env, const answer_kit &kit, request_instance *instance,
                                             std::string_view file_name, uint32_t access_mask, napi_value *modes) {
  const int name_length = static_cast<int>(file_name.size());
  napi_value argv[2 + access_right_count];
  size_t count = 0;
  for (size_t i = 0; i < access_right_count; ++i) {
    if ((access_mask & access_rights_supported[i].bit) == 0) continue;
    const fixed_text text = static_cast<fixed_text>(t_access_rd + i);
    if ((argv[2 + count++] = kit.fixed(text)) == nullptr) {
      record_failure(instance, napi_generic_failure, 0, nullptr, "Failed to create NAPI string for: %s",
                     fixed_texts[text]);
      LOG_ERROR("Failed to set name for the access rights object of an open file: %.*s, error: %d", name_length,
                file_name.data(), napi_generic_failure);
      return napi_generic_failure;
    }
  }
  // The list builder makes the array with its elements in one call.
  napi_value builder = kit.list_builder(), undefined = kit.undefined();
  if (builder != nullptr && undefined != nullptr) {
    argv[0] = argv[1] = undefined;
    if (napi_call_function(env, undefined, builder, 2 + count, argv, modes) == napi_ok) return napi_ok;
    clear_pending_exception(env);
  }
  napi_status status = napi_create_array_with_length(env, count, modes);
  if (status != napi_ok) {
    record_failure(instance, status, 0, nullptr, "Failed to create access rights array for an open file");
    LOG_ERROR("%s: %.*s, error: %d", instance->error_message, name_length, file_name.data(), status);
    return status;
  }
  for (uint32_t i = 0; i < count; ++i) {
    if ((status = napi_set_element(env, *modes, i, argv[2 + i])) != napi_ok) {
      record_failure(instance, status, 0, nullptr, "Failed to set name for the access rights object of an open file");
      LOG_ERROR("%s: %.*s, error: %d", instance->error_message, name_length, file_name.data(), status);
      return status;
    }
  }
  return napi_ok;
}

bool access_modes_field(napi_env env, const answer_kit &kit, request_instance *instance, std::string_view file_name,
                        uint32_t access_mask, field *modes) {
  if (kit.cache() != nullptr) {
    *modes = field::set(access_rights_bits(access_mask));
    return true;
  }
  napi_value made;
  if (add_access_rights_info_to_object(env, kit, instance, file_name, access_mask, &made) != napi_ok) return false;
  *modes = field::of(made);
  return true;
}

void convert_open_files_page(napi_env env, request_instance *instance, napi_value result, const answer_kit &kit,
                             const uint8_t *header_bytes, const char *converter, const open_files_answer_form &form) {
  const listing_page page(header_bytes, instance->listing_copy, converter, open_files_texts);
  if (!page.ok()) return;
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
  field fields[6];
  size_t used = form.connection_keys ? 3 : 0;  // the connection's keys come from the first file
  open_file_view file;
  static constexpr element_texts texts{"Failed to create napi object to store individual file-object info", false,
                                      "Failed to add individual file-object info into array"};
  record_run run(env, kit, form.file_kind, files, converter, texts);
  open_files_cursor cursor(page.copy(), header.count, form.form);
  for (uint32_t index = 0; cursor.next(&file); ++index) {
    if (index == 0 && form.connection_keys) {
      fields[0] = field::of(make_uint32(env, ckey(k_connection_number), file.session_id));
      fields[1] = field::of(kit.answer_text(ckey(k_user_name), file.user_name));
      fields[2] = field::of(kit.answer_text(ckey(ck_client_ip_address), file.client_address));
    }
    if (!form.add_file(env, kit, instance, file, run, index)) return;
  }
  if (!run.finish()) return;

  fields[used++] = field::of(make_uint32(env, ckey(k_count), header.count));
  fields[used++] = field::of(kit.answer_text(ckey(k_cookie), header.cookie));
  fields[used++] = field::of(files);
  const built_record open_files = build_record(env, kit, form.answer_kind, fields);
  if (open_files.object == nullptr) {
    CIFS_LOG_AS(converter, LOG_ERR, "Failed to create napi object to store open files data");
    return;
  }
  if ((status = kit.set(result, k_open_files, open_files.object)) != napi_ok)
    CIFS_LOG_AS(converter, LOG_ERR, "Failed to copy file-objects list into return object, error: %d", status);
}

}  // namespace cifs
