// Operations 7 to 12: adding one permanent invalid (blocked) user, making
// cached invalid users permanent, and removing them. Each action has two
// operation numbers that differ only in the wording of their failure.
#include <cstddef>
#include <iterator>

#include "connections/connections_operations.h"
#include "library/batch_call.h"
#include "base/error_codes.h"
#include "request/failure.h"
#include "base/log.h"
#include "values/keys.h"
#include "values/readers.h"

namespace cifs {

namespace {

constexpr int32_t first_user_operation = 7;

// The failure of each operation from 7 to 12, indexed by operation - 7. For
// 7 and 10 the code is the library's status, so only the id and text count.
constexpr whole_request_failure user_operation_failures[] = {
    {0, id_failed_to_add_invalid_user, "Failed to add the user as a permanent invalid user"},
    {status_all_invalid_user_changes_failed, id_failed_to_make_all_permanent,
     "Failed to make all the specified invalid users to permanent invalid users"},
    {status_all_invalid_user_removals_failed, id_failed_to_remove_all_invalid_users,
     "Failed to remove all the specified invalid users", "cc_remove_invalid_users"},
    {0, id_failed_to_add_blocked_user, "Failed to add the user as a blocked user"},
    {status_all_invalid_user_changes_failed, id_failed_to_block_all_users,
     "Failed to make all the specified invalid users to blocked users"},
    {status_all_invalid_user_removals_failed, id_failed_to_unblock_all_users,
     "Failed to unblock all the specified invalid/blocked users", "cc_remove_invalid_users"},
};

// Only the rows 7 to 12 of the operation table lead here, so the index is in range.
const whole_request_failure &failure_of(const request_instance *instance) {
  const auto row = static_cast<size_t>(instance->operation - first_user_operation);
  static_assert(std::size(user_operation_failures) == 6);
  return user_operation_failures[row];
}

constexpr name_list user_names{comn_keys[k_names], comn_keys[k_names], id_usernames_length, id_usernames_element};

}  // namespace

uint32_t get_invalid_username_input_data(napi_env env, napi_value request, request_instance *instance) {
  const char *key = ckey(k_name);
  char *text = nullptr;
  const uint32_t status = get_named_property_to_string_ext(env, request, key, &text);
  instance->user_name.reset(text);  // ours from the allocation on, failure or not
  if (status != 0)
    return record_failure(instance, status, id_failed_to_extract_convert, key, "Failed to extract/convert: '%s'", key);
  return 0;
}

void cc_add_permanent_invalid_user(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  if (!is_user_supervisor(instance) || !CIFS_REQUIRE(instance, CIFSLIB_AddPermanentInvalidUser)) return;
  const int32_t status = mgmt::CIFSLIB_AddPermanentInvalidUser(instance->user_name.get());
  if (status != 0) {
    const whole_request_failure &failure = failure_of(instance);
    RECORD_AND_LOG(instance, static_cast<uint32_t>(status), failure.id, nullptr, ("%s", failure.message),
                   "%s, error: %d", instance->error_message, status);
  }
}

uint32_t get_multiple_invalid_usernames_input_data(napi_env env, napi_value request, request_instance *instance) {
  return read_names_into_entries(env, request, instance, user_names, __func__);
}

void cc_make_permanent_invalid_user(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  CIFS_RUN_BATCH(instance, CIFSLIB_MakePermanentInvalidUser,
                 "Failed to make invalid user \"%s\" to permanent invalid user, error: %d", failure_of(instance),
                 [](const received_entry &entry) { return mgmt::CIFSLIB_MakePermanentInvalidUser(entry.name); });
}

void cc_remove_invalid_users(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  CIFS_RUN_BATCH(instance, CIFSLIB_RemoveInvalidUser, "Failed to remove invalid user: %s, error: %d",
                 failure_of(instance),
                 [](const received_entry &entry) { return mgmt::CIFSLIB_RemoveInvalidUser(entry.name); });
}

}  // namespace cifs
