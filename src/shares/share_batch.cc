#include <string_view>

#include "library/batch_call.h"
#include "wire/share_records.h"
#include "base/error_codes.h"
#include "request/failure.h"
#include "base/log.h"
#include "shares/share_operations.h"
#include "values/keys.h"
#include "values/readers.h"

namespace cifs {

namespace {

constexpr whole_request_failure all_feature_changes_failed{
    status_all_feature_changes_failed, id_failed_to_change_all_shares,
    "Failed to change configuration of all the specified shares"};
constexpr whole_request_failure all_removals_failed{status_all_share_removals_failed, id_failed_to_remove_all_shares,
                                                   "Failed to remove all the specified shares"};

// A share name that does not fit the per-name record is not sent: the entry
// fails with this status (the value is not one the record can carry).
constexpr int32_t status_name_too_long = 40018;

constexpr name_list share_names{comn_keys[k_names], comn_keys[k_names], id_failed_array_length,
                                id_failed_list_element, name_record_area - 1};

struct share_feature {
  cifs_key key;
  uint32_t change_bit;
};
// Only the first feature present on the request is switched.
constexpr share_feature share_features[] = {
    {ck_encryption, change_encryption},
    {ck_folder_redirection, change_folder_redirection},
    {ck_atm_backup, change_atm_backup},
};

// Fills the per-name record, or logs a name that does not fit it under the
// executor's name `func` (a name the parser did not copy whole never does).
bool fill_or_reject(name_share_record *record, const received_entry &entry, const char *func) {
  if (entry.kept == 0 && fill_name_record(record, entry.name)) return true;
  CIFS_LOG_AS(func, LOG_ERR, "Share name is longer than %d bytes: %s, error: %d",
              static_cast<int>(name_record_area - 1), entry.name, status_name_too_long);
  return false;
}

const entry_status name_rejected{status_name_too_long, true};

}  // namespace

uint32_t get_share_featureconfig_input_data(napi_env env, napi_value request, request_instance *instance) {
  const share_feature *feature = nullptr;
  for (const share_feature &candidate : share_features) {
    if (validate_key(env, request, ckey(candidate.key))) {
      feature = &candidate;
      break;
    }
  }
  if (feature == nullptr) {
    RECORD_AND_LOG(instance, status_invalid_value, id_invalid_share_feature, nullptr,
                   ("Received invalid feature key in request"), "%s, error: %d", instance->error_message,
                   static_cast<int>(status_invalid_value));
    return UINT32_MAX;
  }
  uint8_t value = 0;
  if (get_share_configuration_value(env, request, instance, ckey(feature->key), &value) != 0) return UINT32_MAX;
  return read_names_into_entries(env, request, instance, share_names, __func__, value, feature->change_bit);
}

void cs_change_share_feature_configuration(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  name_share_record record;
  CIFS_RUN_BATCH(instance, CIFSLIB_ChangeShareFeatureConfiguration,
                 "Failed to change configuration of the share: %s, error: %d", all_feature_changes_failed,
                 [&record](const received_entry &entry) -> entry_status {
                   if (!fill_or_reject(&record, entry, "cs_change_share_feature_configuration")) return name_rejected;
                   record.header.change_mask = entry.feature_flag;
                   switch (entry.feature_flag) {
                     case change_encryption: record.header.encryption = entry.feature_value; break;
                     case change_folder_redirection: record.header.folder_redirection = entry.feature_value; break;
                     case change_atm_backup: record.header.atm_backup = entry.feature_value; break;
                     default: break;
                   }
                   return mgmt::CIFSLIB_ChangeShareFeatureConfiguration(&record.header);
                 });
}

uint32_t get_removeshare_input_data(napi_env env, napi_value request, request_instance *instance) {
  return read_names_into_entries(env, request, instance, share_names, __func__);
}

void cs_remove_share(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  name_share_record record;
  CIFS_RUN_BATCH(instance, CIFSLIB_RemoveShare, "Failed to remove share: %s, error: %d", all_removals_failed,
                 [&record](const received_entry &entry) -> entry_status {
                   if (!fill_or_reject(&record, entry, "cs_remove_share")) return name_rejected;
                   return mgmt::CIFSLIB_RemoveShare(&record.header);
                 });
}

}  // namespace cifs
