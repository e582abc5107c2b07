#include "library/caller_identity.h"

#include <cstring>

#include "library/binding.h"
#include "library/toral_api.h"
#include "wire/utf16.h"
#include "request/failure.h"
#include "base/log.h"
#include "request/napi_call.h"
#include "base/bounded_text.h"
#include "values/keys.h"
#include "base/malloc_ptr.h"
#include "values/readers.h"

namespace cifs {

namespace {
constexpr size_t dn_message_limit = 128;  // at most 127 characters
constexpr uint32_t initial_sev_capacity = 20;
}  // namespace

int get_dn_data(napi_env env, napi_value request, char *caller_dn, char *message, uint32_t *error_code) {
  const char *key = ckey(k_dn);
  // Presence first: a missing "dn" and one that holds undefined answer differently.
  if (!validate_key(env, request, key)) {
    format_bounded(message, dn_message_limit, "Data received does not contain %s", key);
    *error_code = status_dn_missing;
    LOG_ERROR("%s", message);
    return -1;
  }
  if (uint32_t status = get_named_property_to_string(env, request, key, caller_dn, 256)) {
    format_bounded(message, dn_message_limit, "Failed to extract/convert %s", key);
    *error_code = status;
    LOG_ERROR("%s", message);
    return -1;
  }
  return 0;
}

namespace {

// A failed lookup, logged with its text.
caller_lookup lookup_failure(uint32_t code, const char *text) {
  CIFS_LOG_AS("get_user_info_by_dn", LOG_ERR, "%s", text);
  return {code, 0};
}

// SEV lookup by the UTF-16 name, with the one retry the library asks for when
// the buffer is too small.
caller_lookup sevlist_by_name(const char *dn) {
  uint32_t capacity = initial_sev_capacity;
  uint32_t is_supervisor = 0;
  malloc_ptr<void> entries(std::calloc(capacity, sev_entry_size));
  if (!entries) return lookup_failure(status_out_of_memory, "Failed to allocate memory to get sev list");
  const size_t dn_length = std::strlen(dn);
  malloc_ptr<uint16_t> name(static_cast<uint16_t *>(std::calloc(dn_length + 1, sizeof(uint16_t))));
  if (!name) return lookup_failure(status_out_of_memory, "Failed to allocate memory for storing unicode name");
  if (convert_utf8_to_unicode(dn, name.get(), 2 * dn_length + 2) < 0)
    return lookup_failure(status_unicode_failed, "Unicode conversion failed for user info");

  int32_t status = torallib_get_sevlist_from_name(name.get(), &capacity, entries.get(), &is_supervisor);
  if (status != 0) {
    CIFS_LOG_AS("get_user_info_by_dn", LOG_ERR, "%d", status);
    if (status != toral_buffer_too_small)
      return lookup_failure(static_cast<uint32_t>(status), "Failed to get sevlist for the user");
    entries.reset(std::calloc(capacity, sev_entry_size));
    if (!entries) return lookup_failure(status_out_of_memory, "Failed to allocate memory for getting sev list");
    status = torallib_get_sevlist_from_name(name.get(), &capacity, entries.get(), &is_supervisor);
    if (status != 0) return lookup_failure(static_cast<uint32_t>(status), "Failed to get sevlist for the user");
  }
  return {0, is_supervisor};
}

caller_lookup sevlist_by_sid(uint8_t *sid) {
  uint32_t count = 0, is_supervisor = 0;
  void *list = nullptr;
  int32_t status = torallib_get_sevlist_from_sid(sid, &count, &list, &is_supervisor);
  if (status != 0) return lookup_failure(static_cast<uint32_t>(status), "Failed to get sevlist for the AD user");
  malloc_ptr<void> owned(list);  // the library's list is ours to free after success
  return {0, is_supervisor};
}

}  // namespace

caller_lookup get_user_info_by_dn(const char *dn) {
  int32_t user_type = 0;
  uint8_t guid[guid_area_size] = {};
  uint8_t sid[sid_area_size] = {};
  uint32_t uid = 0;
  int32_t further = 0;
  int32_t status = torallib_get_userinfo_from_name(dn, &user_type, guid, sid, &uid, &further);
  if (status != 0) {
    LOG_ERROR("Name based look up has failed with %d", status);
    return {static_cast<uint32_t>(status), 0};
  }
  const caller_lookup found = user_type == user_type_by_name ? sevlist_by_name(dn) : sevlist_by_sid(sid);
  if (found.code == 0) LOG_INFORMATION("User: %s Supervisor: %d", dn, static_cast<int>(found.is_supervisor));
  return found;
}

bool is_user_supervisor(request_instance *instance) {
  if (!library_calls_allowed(instance)) return false;
  const caller_lookup caller = get_user_info_by_dn(instance->caller_dn);
  if (caller.code != 0) {
    RECORD_AND_LOG(instance, caller.code, id_failed_to_validate_user, nullptr,
                   ("Failed to validate logged-in user for: '%s'", instance->operation_name),
                   "Failed to validate logged-in user: %s, operation: %s, error: %d", instance->caller_dn,
                   instance->operation_name, static_cast<int>(caller.code));
    return false;
  }
  if (caller.is_supervisor != 0) return true;
  RECORD_AND_LOG(instance, status_not_supervisor, id_failed_to_validate_user, nullptr,
                 ("User does not have privilege to perform the operation: %s", instance->operation_name),
                 "Logged-in user '%s' does not have privilege to perform the operation: %s, error: %d",
                 instance->caller_dn, instance->operation_name, static_cast<int>(status_not_supervisor));
  return false;
}

}  // namespace cifs
