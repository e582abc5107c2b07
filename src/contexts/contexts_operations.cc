#include "contexts/contexts_operations.h"

#include "library/batch_call.h"
#include "wire/context_list.h"
#include "base/error_codes.h"
#include "request/failure.h"
#include "base/log.h"
#include "values/builders.h"
#include "values/env_cache.h"
#include "values/keys.h"
#include "base/malloc_block.h"
#include "values/text_array.h"

namespace cifs {

namespace {
constexpr whole_request_failure all_adds_failed{status_all_context_adds_failed, id_failed_to_add_all_contexts,
                                                "Failed to add all the specified user contexts"};
constexpr whole_request_failure all_removals_failed{status_all_context_removals_failed, id_failed_to_remove_all_contexts,
                                                    "Failed to remove all the specified user contexts"};
constexpr name_list context_names{cifs_keys[ck_user_contexts], cifs_keys[ck_user_contexts], id_failed_array_length,
                                  id_failed_list_element};
}  // namespace

uint32_t get_contexts_list_input_data(napi_env env, napi_value request, request_instance *instance) {
  return read_names_into_entries(env, request, instance, context_names, __func__);
}

void get_cifs_user_contexts(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  if (!is_user_supervisor(instance) || !CIFS_REQUIRE(instance, CIFSLIB_ListUserContexts)) return;
  uint32_t *count = nullptr;
  char *list = nullptr;
  int32_t status = mgmt::CIFSLIB_ListUserContexts(&count, &list);
  instance->contexts_count.reset(count);
  instance->contexts_list.reset(list);
  if (status != 0)
    RECORD_AND_LOG(instance, static_cast<uint32_t>(status), id_unable_to_list_contexts, nullptr,
                   ("Unable to list CIFS user contexts"), "%s due to error code %d", instance->error_message, status);
}

void add_cifs_user_contexts(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  CIFS_RUN_BATCH(instance, CIFSLIB_AddUserContext, "Failed to add user context: %s, error: %d", all_adds_failed,
                 [](const received_entry &entry) { return mgmt::CIFSLIB_AddUserContext(entry.name); });
}

void remove_cifs_user_contexts(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  CIFS_RUN_BATCH(instance, CIFSLIB_RemoveUserContext, "Failed to remove user context: %s, error: %d",
                 all_removals_failed,
                 [](const received_entry &entry) { return mgmt::CIFSLIB_RemoveUserContext(entry.name); });
}

void cifs_contexts_list_json(napi_env env, request_instance *instance, const answer_kit &kit) {
  napi_value array;
  if (napi_create_array(env, &array) != napi_ok) {
    LOG_ERROR("Failed to create array to store CIFS user contexts");
    return;
  }
  const char *block = instance->contexts_list.get();
  const uint32_t *count = instance->contexts_count.get();
  // The walk needs both pointers: a count without a list is an empty list.
  if (block != nullptr && count != nullptr) {
    context_list_reader reader(byte_reader(count, malloc_block_size(count)),
                               byte_reader(block, malloc_block_size(block)));
    fill_text_array(env, kit, array, [&] { return reader.next(); });
    if (reader.cut_short())
      LOG_ERROR("User context list holds %u of the %u texts its count gives", reader.texts_read(), reader.count());
  }
  if (kit.set(ck_user_contexts, array) != napi_ok)
    LOG_ERROR("Failed to insert cifs user context list into return object");
}

}  // namespace cifs
