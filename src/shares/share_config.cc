#include <cerrno>
#include <cstring>

#include "library/caller_identity.h"
#include "library/binding.h"
#include "wire/share_records.h"
#include "base/error_codes.h"
#include "request/failure.h"
#include "base/log.h"
#include "shares/share_operations.h"
#include "base/bounded_text.h"
#include "values/keys.h"
#include "values/readers.h"

namespace cifs {

namespace {

constexpr size_t feature_value_size = 64;

// The request's texts, owned until they are copied into the record.
struct config_texts {
  malloc_ptr<char> name, new_name, volume_name, relative_path, comment;
};

uint32_t read_text(napi_env env, napi_value request, request_instance *instance, const char *key,
                   malloc_ptr<char> *out) {
  char *text = nullptr;
  uint32_t status = get_named_property_to_string_ext(env, request, key, &text);
  out->reset(text);  // ours from the allocation on, failure or not
  if (status != 0)
    RECORD_AND_LOG_AS("get_shareconfig_input_data", instance, status, id_failed_to_extract_convert, key,
                      ("Failed to extract/convert: %s", key), "%s, error: %d", instance->error_message,
                      static_cast<int>(status));
  return status;
}

}  // namespace

uint32_t share_record_not_allocated(request_instance *instance, const char *parser) {
  const int err = errno;
  RECORD_AND_LOG_AS(parser, instance, status_out_of_memory, id_memory_allocation_failure, nullptr,
                    ("Failed to allocate memory to store share information received"), "%s, error: %s",
                    instance->error_message, std::strerror(err));
  return err != 0 ? static_cast<uint32_t>(err) : status_out_of_memory;
}

int get_share_configuration_value(napi_env env, napi_value request, request_instance *instance, const char *key,
                                  uint8_t *value) {
  char text[feature_value_size] = {};
  if (uint32_t status = get_named_property_to_string(env, request, key, text, sizeof text)) {
    RECORD_AND_LOG(instance, status, id_failed_to_extract_convert, key, ("Failed to extract/convert: %s", key),
                   "%s, error: %d", instance->error_message, static_cast<int>(status));
    return -1;
  }
  if (std::strcmp(text, "enabled") == 0) {
    *value = 1;
  } else if (std::strcmp(text, "disabled") == 0) {
    *value = 0;
  } else {
    RECORD_AND_LOG(instance, status_invalid_value, id_invalid_config_value, key,
                   ("Received invalid configuration value for: %s <%s>", key, text), "%s, error: %d",
                   instance->error_message, static_cast<int>(status_invalid_value));
    return -1;
  }
  return 0;
}

uint32_t get_shareconfig_input_data(napi_env env, napi_value request, request_instance *instance) {
  config_texts texts;
  if (uint32_t st = read_text(env, request, instance, ckey(k_name), &texts.name)) return st;
  if (validate_key(env, request, ckey(ck_new_name)))
    if (uint32_t st = read_text(env, request, instance, ckey(ck_new_name), &texts.new_name)) return st;
  if (uint32_t st = read_text(env, request, instance, ckey(k_volume_name), &texts.volume_name)) return st;
  if (uint32_t st = read_text(env, request, instance, ckey(ck_relative_path), &texts.relative_path)) return st;
  if (validate_key(env, request, ckey(ck_comment)))
    if (uint32_t st = read_text(env, request, instance, ckey(ck_comment), &texts.comment)) return st;

  share_config_texts record_texts{texts.name.get(), texts.volume_name.get(), texts.relative_path.get(), {}, {}};
  if (texts.comment) record_texts.comment = texts.comment.get();
  if (texts.new_name) record_texts.new_name = texts.new_name.get();
  malloc_ptr<share_record> record = build_share_config_record(record_texts);
  if (!record) return share_record_not_allocated(instance, __func__);
  uint8_t encryption = 0, folder_redirection = 0, atm_backup = 0;
  if (get_share_configuration_value(env, request, instance, ckey(ck_encryption), &encryption) != 0 ||
      get_share_configuration_value(env, request, instance, ckey(ck_folder_redirection), &folder_redirection) != 0 ||
      get_share_configuration_value(env, request, instance, ckey(ck_atm_backup), &atm_backup) != 0)
    return UINT32_MAX;
  share_record *header = record.get();
  header->encryption = encryption;
  header->folder_redirection = folder_redirection;
  header->atm_backup = atm_backup;
  header->change_mask = header->change_mask | change_always | change_encryption | change_folder_redirection |
                        change_atm_backup;
  instance->share_record = std::move(record);
  return 0;
}

namespace {

// Hands the parsed record to `function`; `failure_text`/`failure_id` describe a refusal by the library.
template <class Function>
void send_share_record(request_instance *instance, Function function, const char *function_name,
                       const char *failure_text, uint32_t failure_id, const char *func) {
  if (!is_user_supervisor(instance) ||
      !require_function(instance, reinterpret_cast<const void *>(function), function_name))
    return;
  const int32_t status = function(instance->share_record.get());
  if (status != 0)
    RECORD_AND_LOG_AS(func, instance, static_cast<uint32_t>(status), failure_id, nullptr, ("%s", failure_text),
                      "%s, error: %d", instance->error_message, status);
}

}  // namespace

void cs_create_share(napi_env, void *data) {
  send_share_record(static_cast<request_instance *>(data), mgmt::CIFSLIB_CreateShare, "CIFSLIB_CreateShare",
                    "Failed to create new CIFS share", id_failed_to_create_share, __func__);
}

void cs_change_share_configuration(napi_env, void *data) {
  send_share_record(static_cast<request_instance *>(data), mgmt::CIFSLIB_ChangeShareConfiguration,
                    "CIFSLIB_ChangeShareConfiguration", "Failed to change configuration of the share",
                    id_failed_to_change_share, __func__);
}

}  // namespace cifs
