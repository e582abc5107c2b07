// Operation 5: the open files of one connection, one page at a time,
// filtered by the library, handed back through shared memory. The request,
// the result and its records are those of the open files of a share; the
// connection, its user and address are shown once, from the first file.
#include <cstddef>
#include <cstring>

#include "connections/connections_operations.h"
#include "library/caller_identity.h"
#include "library/binding.h"
#include "library/listing_call.h"
#include "wire/connection_records.h"
#include "wire/open_file_texts.h"
#include "base/error_codes.h"
#include "request/failure.h"
#include "base/log.h"
#include "values/open_files_answer.h"
#include "values/advanced_filters.h"
#include "base/bounded_text.h"
#include "values/builders.h"
#include "values/env_cache.h"
#include "values/keys.h"
#include "values/list_page_reader.h"
#include "values/readers.h"

namespace cifs {

namespace {

constexpr filter_form connection_open_files_filters{
    filter_encoding::block,
    "get_list_connection_openfiles_input_data",
    "get_connection_openfiles_advanced_filters_input_data",
    block_filter_by<open_files_type_pattern_bound>,
    block_max_filters,
    block_max_patterns,
    block_max_filters * block_max_patterns,
    "Advanced filters do not fit in the request to list open files of a connection",
};

constexpr list_page_form connection_open_files_page_form{
    "Failed to get pagesize for creating a request to list connection's open files",
    offsetof(open_files_request, ignore_count),
    offsetof(open_files_request, return_count),
    offsetof(open_files_request, cookie_offset),
    open_files_cookie_size,
    &connection_open_files_filters,
    open_files_type_pattern_bound,
};

}  // namespace

uint32_t get_list_connection_openfiles_input_data(napi_env env, napi_value request, request_instance *instance) {
  page_request page(open_files_request_layout);
  if (uint32_t status = check_list_page(page, instance, connection_open_files_page_form)) return status;
  uint32_t number = 0;  // a missing key or another type reads as 0
  if (uint32_t status = get_named_property_to_uint32(env, request, ckey(k_connection), &number)) {
    RECORD_AND_LOG(instance, status, id_failed_to_extract_convert, ckey(k_connection),
                   ("Failed to extract/convert: '%s'", ckey(k_connection)), "%s, error: %d", instance->error_message,
                   static_cast<int>(status));
    return status;
  }
  (void)page.set_field(connection_open_files_number_field, number);  // inside the header: cannot fail
  (void)page.set_field(offsetof(open_files_request, volume_name_offset), absent_offset);
  if (uint32_t status = read_list_page_tail(env, request, instance, page, connection_open_files_page_form))
    return status;
  instance->open_files_request = page.release();
  return 0;
}

void cc_list_connection_open_files(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  static constexpr listing_form form{"cc_convert_open_files_list_to_json", open_files_texts,
                                     id_failed_connection_open_files};
  CIFS_RUN_LISTING(instance, CIFSLIB_ListOpenFiles, instance->open_files_request.get(), form,
                   [](const uint8_t *page, listing_failure *failure) {
                     uint32_t number;  // as the request has it; the page is one memory page, so the field is there
                     std::memcpy(&number, page + connection_open_files_number_field, sizeof number);
                     format_bounded(failure->key, sizeof failure->key, "%u", number);
                     format_bounded(failure->message, sizeof failure->message,
                                    "Failed to list open files of connection: %u", number);
                   });
}

namespace {

using connection_files_form = open_files_answer_form<r_connection_open_files, r_connection_open_file>;

connection_files_form::file_fields file_fields(const answer_kit &kit, const open_file_view &file) {
  return {
      field::uint32(file.file_id),
      field::of(kit.answer_text(ckey(k_name), file.name)),
      field::of(kit.answer_text(ckey(k_share_name), file.share_name)),
      field::of(kit.answer_text(ckey(ck_full_path), file.full_path)),
      field::set(access_rights_bits(file.access_mask)),
      field::fixed(lock_level_text(file.lock_level)),
      field::of(kit.answer_text(ckey(k_type), file_type(file.name))),
  };
}

}  // namespace

void cc_convert_open_files_list_to_json(napi_env env, request_instance *instance, const answer_kit &kit) {
  static constexpr connection_files_form form{open_files_form::connection, file_fields, true};
  convert_open_files_page(env, instance, kit, form);
}

}  // namespace cifs
