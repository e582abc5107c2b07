// Operation 6: the open files of a share (or volume), one page at a time,
// filtered by the library, handed back through shared memory.
#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "identity/caller_identity.h"
#include "mgmtclient/binding.h"
#include "mgmtclient/open_file_texts.h"
#include "mgmtclient/open_files_page.h"
#include "module/error_codes.h"
#include "module/failure.h"
#include "module/log.h"
#include "module/napi_call.h"
#include "shares/open_files_answer.h"
#include "shares/share_operations.h"
#include "values/advanced_filters.h"
#include "values/bounded_text.h"
#include "values/builders.h"
#include "values/env_cache.h"
#include "values/filter_block_sink.h"
#include "values/keys.h"
#include "values/readers.h"

namespace cifs {

namespace {

constexpr filter_by_row open_files_filter_by[] = {
    {"search-name", filter_type_search_name, search_name_pattern_bound, 0},
    {"type", filter_type_type, open_files_type_pattern_bound, 0},
};
constexpr filter_form open_files_filters{
    filter_encoding::block,
    "get_list_openfiles_input_data",
    "get_list_openfiles_advanced_filter_input_data",
    open_files_filter_by,
    block_max_filters,
    block_max_patterns,
    "Advanced filters do not fit in the request to list open files",
};

// Reads a text of the request through `bound` bytes into the page; its
// offset, or nothing with the failure recorded.
std::optional<uint32_t> read_text_into(napi_env env, napi_value request, request_instance *instance,
                                       page_request &page, comn_key key, size_t bound) {
  char text[open_files_volume_name_size] = {};
  if (uint32_t status = get_named_property_to_string(env, request, ckey(key), text, std::min(bound, sizeof text))) {
    record_failure(instance, status, id_failed_to_extract_convert, ckey(key), "Failed to extract/convert '%s'",
                   ckey(key));
    return std::nullopt;
  }
  // A page (4096 bytes at least) holds the volume name and the cookie with room to spare.
  const auto at = page.append_text(text, bound);
  if (!at)
    record_failure(instance, status_does_not_fit, id_memory_allocation_failure, nullptr,
                   "The request to list open files does not fit one page");
  return at;
}

}  // namespace

uint32_t get_list_openfiles_input_data(napi_env env, napi_value request, request_instance *instance) {
  page_request page(open_files_request_layout);
  if (page.failed() == page_request::failure::page_size) {
    record_failure(instance, status_page_size_failed, id_failed_to_get_pagesize, nullptr,
                   "Failed to get pagesize for creating request to list open files of volume/share");
    LOG_ERROR("%s, error: %s", instance->error_message, std::strerror(page.error()));
    return instance->error_code;
  }
  if (page.failed() == page_request::failure::allocation) {
    record_failure(instance, status_out_of_memory, id_memory_allocation_failure, nullptr,
                   "Failed to allocate memory for '%s'", instance->operation_name);
    LOG_ERROR("%s, error: %s", instance->error_message, std::strerror(page.error()));
    return instance->error_code;
  }
  const auto volume = read_text_into(env, request, instance, page, k_volume_name, open_files_volume_name_size);
  if (!volume) return instance->error_code;
  (void)page.set_field(offsetof(open_files_request, volume_name_offset), *volume);  // 0: the first text

  uint32_t ignore_count = 0, return_count = 0;  // a missing key or another type reads as 0
  for (auto [key, count] : {std::pair{k_ignore_count, &ignore_count}, std::pair{k_return_count, &return_count}})
    if (uint32_t status = get_named_property_to_uint32(env, request, ckey(key), count))
      return record_failure(instance, status, id_failed_to_extract_convert, ckey(key),
                            "Failed to extract/convert '%s'", ckey(key));
  (void)page.set_field(offsetof(open_files_request, ignore_count), ignore_count);  // inside the header: cannot fail
  (void)page.set_field(offsetof(open_files_request, return_count), return_count);

  uint32_t cookie_offset = absent_offset;
  if (validate_key(env, request, ckey(k_cookie))) {
    const auto cookie = read_text_into(env, request, instance, page, k_cookie, open_files_cookie_size);
    if (!cookie) return instance->error_code;
    cookie_offset = *cookie;
  }
  (void)page.set_field(offsetof(open_files_request, cookie_offset), cookie_offset);

  if (validate_key(env, request, ckey(k_advanced_filters_info))) {
    block_filter_sink sink(page, open_files_type_pattern_bound);
    if (uint32_t status = read_advanced_filters(env, request, instance, open_files_filters, sink)) return status;
  } else {
    (void)write_no_filter_block(page);
  }
  instance->open_files_request = page.release();
  return 0;
}

void cs_list_open_files_of_share(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  if (!is_user_supervisor(instance) || !CIFS_REQUIRE(instance, CIFSLIB_ListOpenFiles)) return;
  void *header = nullptr;
  const int32_t status = mgmt::CIFSLIB_ListOpenFiles(instance->open_files_request.get(), &header);
  instance->open_files_result.reset(static_cast<uint8_t *>(header));  // ours to free, whatever the status
  if (status != 0) {
    // The volume name opens the string area; read no further than its bound
    // (the library had the page in between).
    const uint8_t *strings = instance->open_files_request.get() + sizeof(open_files_request);
    char volume[open_files_volume_name_size];
    copy_bounded(volume, reinterpret_cast<const char *>(strings));
    record_failure(instance, static_cast<uint32_t>(status), id_failed_to_list_open_files, volume,
                   "Failed to list open files of share/volume: %s", volume);
    LOG_ERROR("%s, error: %d", instance->error_message, status);
  }
  instance->error_code = static_cast<uint32_t>(status);
}

namespace {

// Makes file `index`'s record into `files`; false (logged) when it cannot.
bool add_open_file(napi_env env, const answer_kit &kit, request_instance *instance, const open_file_view &file,
                   napi_value files, uint32_t index) {
  // The file's builder makes accessModes from the rights' bits; only without
  // the builders is the array made here, element by element.
  field modes = field::set(access_rights_bits(file.access_mask));
  if (kit.cache() == nullptr) {
    napi_value made;
    if (add_access_rights_info_to_object(env, kit, instance, file.name, file.access_mask, &made) != napi_ok)
      return false;
    modes = field::of(made);
  }
  const field fields[] = {
      field::of(make_uint32(env, ckey(ck_session_id), file.session_id)),
      field::of(make_uint32(env, ckey(ck_id), file.file_id)),
      field::of(kit.answer_text(ckey(k_name), file.name)),
      field::of(kit.answer_text(ckey(ck_full_path), file.full_path)),
      field::of(kit.answer_text(ckey(k_user_name), file.user_name)),
      field::of(kit.answer_text(ckey(ck_client_ip_address), file.client_address)),
      modes,
      field::fixed(lock_level_text(file.lock_level)),
      field::of(kit.answer_text(ckey(k_type), file_type(file.name))),
  };
  const built_record record = build_record(env, kit, r_open_file, fields, files, index);
  if (record.object == nullptr) {
    LOG_ERROR("Failed to create napi object to store individual file-object info");
    return false;
  }
  if (!record.stored)
    NAPI_CALL_OR(napi_set_element(env, files, index, record.object), return false,
                 "Failed to add individual file-object info into array, error: %d");
  return true;
}

}  // namespace

void cs_convert_open_files_list_to_json(napi_env env, request_instance *instance, napi_value result,
                                        const answer_kit &kit) {
  const open_files_page page(instance->open_files_result.get(), __func__);
  if (!page.ok()) return;
  const list_result_header &header = page.header();
  napi_value files;
  NAPI_CALL_OR(napi_create_array_with_length(env, header.count, &files), return,
               "Failed to create array to store list of open files, error: %d");
  // One pass: a record found unsound drops the whole page, files made before it included.
  open_files_cursor cursor = page.files(open_files_form::share);
  open_file_view file;
  for (uint32_t index = 0; cursor.next(&file); ++index)
    if (!add_open_file(env, kit, instance, file, files, index)) return;
  if (cursor.problem()) return page.refuse(cursor.problem());

  const field fields[] = {
      field::of(make_uint32(env, ckey(k_count), header.count)),
      field::of(kit.answer_text(ckey(k_cookie), header.cookie)),
      field::of(files),
  };
  const built_record open_files = build_record(env, kit, r_open_files, fields);
  if (open_files.object == nullptr) {
    LOG_ERROR("Failed to create napi object to store open files data");
    return;
  }
  NAPI_CALL_OR(kit.set(result, k_open_files, open_files.object), (void)0,
               "Failed to copy file-objects list into return object, error: %d");
}

}  // namespace cifs
