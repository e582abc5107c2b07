// Operation 6: the open files of a share (or volume), one page at a time,
// filtered by the library, handed back through shared memory.
#include <cstddef>

#include "library/caller_identity.h"
#include "library/binding.h"
#include "library/listing_call.h"
#include "wire/open_file_texts.h"
#include "base/error_codes.h"
#include "request/failure.h"
#include "base/log.h"
#include "values/open_files_answer.h"
#include "shares/share_operations.h"
#include "values/advanced_filters.h"
#include "base/bounded_text.h"
#include "values/builders.h"
#include "values/env_cache.h"
#include "values/keys.h"
#include "values/list_page_reader.h"

namespace cifs {

namespace {

constexpr filter_form open_files_filters{
    filter_encoding::block,
    "get_list_openfiles_input_data",
    "get_list_openfiles_advanced_filter_input_data",
    block_filter_by<open_files_type_pattern_bound>,
    block_max_filters,
    block_max_patterns,
    block_max_filters * block_max_patterns,
    "Advanced filters do not fit in the request to list open files",
};

constexpr list_page_form open_files_page_form{
    "Failed to get pagesize for creating request to list open files of volume/share",
    offsetof(open_files_request, ignore_count),
    offsetof(open_files_request, return_count),
    offsetof(open_files_request, cookie_offset),
    open_files_cookie_size,
    &open_files_filters,
    open_files_type_pattern_bound,
};

}  // namespace

uint32_t get_list_openfiles_input_data(napi_env env, napi_value request, request_instance *instance) {
  page_request page(open_files_request_layout);
  if (uint32_t status = check_list_page(page, instance, open_files_page_form)) return status;
  const auto volume = read_page_text(env, request, instance, page, k_volume_name, open_files_volume_name_size);
  if (!volume) return instance->error_code;
  (void)page.set_field(offsetof(open_files_request, volume_name_offset), *volume);  // 0: the first text
  if (uint32_t status = read_list_page_tail(env, request, instance, page, open_files_page_form)) return status;
  instance->open_files_request = page.release();
  return 0;
}

void cs_list_open_files_of_share(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  static constexpr listing_form form{"cs_convert_open_files_list_to_json", open_files_texts,
                                     id_failed_to_list_open_files};
  CIFS_RUN_LISTING(instance, CIFSLIB_ListOpenFiles, instance->open_files_request.get(), form,
                   [](const uint8_t *page, listing_failure *failure) {
                     // The volume name opens the string area; read no further
                     // than its bound (the library had the page in between).
                     char volume[open_files_volume_name_size];
                     copy_bounded(volume, reinterpret_cast<const char *>(page + sizeof(open_files_request)));
                     copy_bounded(failure->key, volume);
                     format_bounded(failure->message, sizeof failure->message,
                                    "Failed to list open files of share/volume: %s", volume);
                   });
}

namespace {

using share_files_form = open_files_answer_form<r_open_files, r_open_file>;

share_files_form::file_fields file_fields(const answer_kit &kit, const open_file_view &file) {
  return {
      field::uint32(file.session_id),
      field::uint32(file.file_id),
      field::of(kit.answer_text(ckey(k_name), file.name)),
      field::of(kit.answer_text(ckey(ck_full_path), file.full_path)),
      field::of(kit.answer_text(ckey(k_user_name), file.user_name)),
      field::of(kit.answer_text(ckey(ck_client_ip_address), file.client_address)),
      field::set(access_rights_bits(file.access_mask)),
      field::fixed(lock_level_text(file.lock_level)),
      field::of(kit.answer_text(ckey(k_type), file_type(file.name))),
  };
}

}  // namespace

void cs_convert_open_files_list_to_json(napi_env env, request_instance *instance, const answer_kit &kit) {
  static constexpr share_files_form form{open_files_form::share, file_fields, false};
  convert_open_files_page(env, instance, kit, form);
}

}  // namespace cifs
