// Operations 7 and 8: closing open files by their full paths, one library
// call each, or every open file of a volume at once.
#include <cstring>

#include "library/batch_call.h"
#include "wire/close_file_record.h"
#include "wire/share_records.h"
#include "base/error_codes.h"
#include "request/failure.h"
#include "base/log.h"
#include "shares/share_operations.h"
#include "values/keys.h"
#include "base/malloc_block.h"
#include "values/readers.h"

namespace cifs {

namespace {

constexpr name_list open_file_paths{comn_keys[k_open_files], cifs_keys[ck_full_path], id_files_length,
                                    id_files_element, close_file_max_path};
constexpr whole_request_failure all_closes_failed{status_all_file_closes_failed, id_failed_to_close_files,
                                                  "Failed to close the specified file(s)"};

}  // namespace

uint32_t get_close_openfile_input_data(napi_env env, napi_value request, request_instance *instance) {
  return read_names_into_entries(env, request, instance, open_file_paths, __func__);
}

void cs_close_open_file(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  close_file_record record;  // one for every path: the filler clears it first
  CIFS_RUN_BATCH(instance, CIFSLIB_CloseOpenFile, "Failed to close file: %s, error: %d", all_closes_failed,
                 [&record](const received_entry &entry) {
                   // A path longer than the record's string area is never sent.
                   return entry.kept == 0 && fill_close_file_record(&record, entry.name)
                              ? mgmt::CIFSLIB_CloseOpenFile(&record)
                              : static_cast<int32_t>(status_does_not_fit);
                 });
}

uint32_t get_close_allopenfiles_input_data(napi_env env, napi_value request, request_instance *instance) {
  const char *key = ckey(k_volume_name);
  char *text = nullptr;
  const uint32_t status = get_named_property_to_string_ext(env, request, key, &text);
  const malloc_ptr<char> volume(text);  // ours from the allocation on, failure or not
  if (status != 0) {
    RECORD_AND_LOG(instance, status, id_failed_to_extract_convert, key, ("Failed to extract/convert: %s", key),
                   "%s, error: %d", instance->error_message, static_cast<int>(status));
    return status;
  }
  malloc_ptr<share_record> record = build_volume_record(volume.get());
  if (!record) return share_record_not_allocated(instance, __func__);
  instance->share_record = std::move(record);
  return 0;
}

void cs_close_all_open_files_of_share(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  if (!is_user_supervisor(instance) || !CIFS_REQUIRE(instance, CIFSLIB_CloseAllOpenFiles)) return;
  share_record *record = instance->share_record.get();
  const int32_t status = mgmt::CIFSLIB_CloseAllOpenFiles(record);
  if (status != 0) {
    // The name opens the string area; read no further than the record's block.
    const char *volume = reinterpret_cast<const char *>(record) + sizeof(share_record);
    const size_t length = strnlen(volume, malloc_block_size(record) - sizeof(share_record));
    RECORD_AND_LOG(instance, static_cast<uint32_t>(status), id_failed_to_close_all_files, nullptr,
                   ("Failed to close all open files of volume: %.*s", static_cast<int>(length), volume),
                   "%s, error: %d", instance->error_message, status);
  }
}

}  // namespace cifs
