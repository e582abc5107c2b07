#include "values/outcome_list.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/error_codes.h"
#include "request/failure.h"
#include "base/log.h"
#include "request/napi_call.h"
#include "base/bounded_text.h"
#include "values/builders.h"
#include "values/env_cache.h"
#include "values/keys.h"
#include "base/list_limits.h"
#include "values/readers.h"

namespace cifs {

namespace {

void append_entry(request_instance *instance, received_entry *entry) {
  if (instance->entries_tail) instance->entries_tail->next = entry;
  else instance->entries_head = entry;
  instance->entries_tail = entry;
}

}  // namespace

uint32_t read_names_into_entries(napi_env env, napi_value request, request_instance *instance, const name_list &names,
                                 const char *parser, uint8_t feature_value, uint32_t feature_flag) {
  const char *list_key = names.list_key;
  instance->entries_head = instance->entries_tail = nullptr;
  // Every failure releases the list read so far and answers all bits set.
  auto refused = [instance](uint32_t) {
    free_received_entries_list(instance);
    return UINT32_MAX;
  };
  napi_value list;
  napi_status status = napi_get_named_property(env, request, list_key, &list);
  if (status != napi_ok) {
    clear_pending_exception(env);
    return refused(RECORD_AND_LOG_AS(parser, instance, status_extract_failed, id_failed_to_extract_convert, list_key,
                                     ("Failed to extract/convert: '%s'", list_key), "%s, error: %d",
                                     instance->error_message, status));
  }
  status = napi_get_array_length(env, list, &instance->entries_count);
  if (status != napi_ok) {
    clear_pending_exception(env);
    instance->entries_count = 0;  // nothing was read: the count must not promise entries
    return refused(RECORD_AND_LOG_AS(parser, instance, status_array_length_failed, names.length_id, nullptr,
                                     ("Failed to get array length of %s list", list_key), "%s, error: %d",
                                     instance->error_message, status));
  }
  if (instance->entries_count > max_list_entries) {
    const uint32_t length = instance->entries_count;
    instance->entries_count = 0;
    return refused(RECORD_AND_LOG_AS(parser, instance, status_array_length_failed, names.length_id, nullptr,
                                     ("List %s has %u entries, more than %u", list_key, length, max_list_entries),
                                     "%s, error: %d", instance->error_message,
                                     static_cast<int>(status_array_length_failed)));
  }
  for (uint32_t i = 0; i < instance->entries_count; ++i) {
    auto *entry = static_cast<received_entry *>(std::calloc(1, sizeof(received_entry)));
    if (entry == nullptr) {
      const int err = errno;
      return refused(RECORD_AND_LOG_AS(parser, instance, status_out_of_memory, id_memory_allocation_failure, nullptr,
                                       ("Failed to allocate memory for '%s'", instance->operation_name),
                                       "%s, error: %s", instance->error_message, std::strerror(err)));
    }
    napi_value element;
    status = napi_get_element(env, list, i, &element);
    if (status != napi_ok) {
      std::free(entry);
      clear_pending_exception(env);
      return refused(RECORD_AND_LOG_AS(parser, instance, status_element_failed, names.element_id, nullptr,
                                       ("Failed to get an element from %s list", list_key), "%s, error: %d",
                                       instance->error_message, status));
    }
    // The reader logged its own line.
    if (uint32_t st = get_named_value_to_string(env, element, names.element_key, &entry->name)) {
      std::free(entry->name);
      std::free(entry);
      return refused(record_failure(instance, st, id_failed_to_extract_convert, names.element_key,
                                    "Failed to extract/convert: '%s'", names.element_key));
    }
    entry->feature_value = feature_value;
    entry->feature_flag = feature_flag;
    append_entry(instance, entry);
  }
  return 0;
}

void fail_all_entries(request_instance *instance) {
  for (received_entry *entry = instance->entries_head; entry != nullptr; entry = entry->next)
    entry->status = static_cast<int32_t>(instance->error_code);
  instance->failed_count = instance->entries_count;
}

// The converter's failures: the envelope is already made, so the status and
// text only reach the log and the instance.
#define CONVERTER_FAILURE(status, text, ...)                                                                    \
  RECORD_AND_LOG_AS("convert_processed_entries_list_to_json", instance, static_cast<uint32_t>(status),          \
                    instance->error_id, nullptr, (text, entry_word, instance->operation_name), "%s, error: %d", \
                    instance->error_message, static_cast<int>(status))

void convert_processed_entries_list_to_json(napi_env env, request_instance *instance, const char *entry_word,
                                            const answer_kit &kit) {
  const uint32_t total = instance->entries_count;
  const uint32_t failed = instance->failed_count;
  napi_value successful_array = nullptr, failed_array = nullptr;
  napi_status status;
  if (total != failed) {
    status = napi_create_array_with_length(env, total - failed, &successful_array);
    if (status != napi_ok)
      return (void)CONVERTER_FAILURE(status, "Failed to create array to send successful %ss list of: %s");
  }
  if (failed != 0) {
    status = napi_create_array_with_length(env, failed, &failed_array);
    if (status != napi_ok)
      return (void)CONVERTER_FAILURE(status, "Failed to create array to send failed %ss list of: %s");
  }
  uint32_t successful_index = 0, failed_index = 0;
  for (received_entry *entry = instance->entries_head; entry != nullptr; entry = entry->next) {
    auto name = [&] { return make_string_utf8(env, ckey(k_name), entry->name, entry->name ? std::strlen(entry->name) : 0); };
    const bool failed_entry = entry->status != 0;
    napi_value target = failed_entry ? failed_array : successful_array;
    const uint32_t index = failed_entry ? failed_index++ : successful_index++;
    // A list longer than its counts (never expected) is not written past the arrays.
    if (target == nullptr)
      return (void)CONVERTER_FAILURE(napi_invalid_arg, "Failed to add %s name into response array of: %s");
    built_record element;
    if (failed_entry) {
      const napi_value code = make_int32(env, ckey(k_error_code), entry->status);  // made in key order
      const field fields[] = {field::of(code), field::of(name())};
      element = build_record<r_outcome_failed>(env, kit, fields, target, index);
    } else {
      const field fields[] = {field::of(name())};
      element = build_record<r_outcome_successful>(env, kit, fields, target, index);
    }
    if (element.object == nullptr)
      return (void)CONVERTER_FAILURE(napi_generic_failure,
                                     "Failed to create napi object to store individual %s of: %s");
  }
  if (total != failed) {
    (void)kit.set(k_successful_count, make_uint32_to_string_utf8(env, ckey(k_successful_count), total - failed));
    status = kit.set(k_successful_list, successful_array);
    if (status != napi_ok)
      (void)CONVERTER_FAILURE(status, "Failed to copy successful %ss list into return object of: %s");
  }
  if (failed != 0) {
    (void)kit.set(k_failed_count, make_uint32_to_string_utf8(env, ckey(k_failed_count), failed));
    status = kit.set(k_failed_list, failed_array);
    if (status != napi_ok)
      (void)CONVERTER_FAILURE(status, "Failed to copy unsuccessful %s list into return object of: %s");
  }
}

#undef CONVERTER_FAILURE

}  // namespace cifs
