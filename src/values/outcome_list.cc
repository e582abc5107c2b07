#include "values/outcome_list.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
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

// The first bytes of a text too long for its record: what a log line can show.
constexpr size_t logged_prefix = log_line_limit;

// Keeps `text` as the own data property "<slot>" of an object of ours, held
// by the request: no setter of a prototype can reach it, and the string
// itself is never copied. The slot + 1, or 0 when it could not be kept.
uint32_t keep_caller_string(napi_env env, request_instance *instance, napi_value text) {
  napi_value holder;
  if (instance->kept_strings == nullptr) {
    if (napi_create_object(env, &holder) != napi_ok ||
        napi_create_reference(env, holder, 1, &instance->kept_strings) != napi_ok)
      return 0;
  } else if (napi_get_reference_value(env, instance->kept_strings, &holder) != napi_ok) {
    return 0;
  }
  char slot[16];
  std::snprintf(slot, sizeof slot, "%u", instance->kept_count);
  const napi_property_descriptor property{slot, nullptr, nullptr, nullptr, nullptr, text, napi_default, nullptr};
  if (napi_define_properties(env, holder, 1, &property) != napi_ok) return 0;
  return ++instance->kept_count;
}

// The caller's string of an entry that kept it, or null (never expected).
napi_value kept_caller_string(napi_env env, const request_instance *instance, uint32_t kept) {
  napi_value holder, text;
  char slot[16];
  std::snprintf(slot, sizeof slot, "%u", kept - 1);
  if (napi_get_reference_value(env, instance->kept_strings, &holder) != napi_ok || holder == nullptr ||
      napi_get_named_property(env, holder, slot, &text) != napi_ok) {
    clear_pending_exception(env);
    return nullptr;
  }
  return text;
}

}  // namespace

void release_kept_strings(napi_env env, request_instance *instance) {
  if (instance->kept_strings == nullptr) return;
  (void)napi_delete_reference(env, instance->kept_strings);  // fails only for a reference that is not one
  instance->kept_strings = nullptr;
}

uint32_t read_names_into_entries(napi_env env, napi_value request, request_instance *instance, const name_list &names,
                                 const char *parser, uint8_t feature_value, uint32_t feature_flag) {
  const char *list_key = names.list_key;
  instance->entries_head = instance->entries_tail = nullptr;
  // Every failure releases the list read so far and answers all bits set.
  auto refused = [env, instance](uint32_t) {
    free_received_entries_list(instance);
    release_kept_strings(env, instance);
    return UINT32_MAX;
  };
  auto no_memory = [&](const char *why) {
    return refused(RECORD_AND_LOG_AS(parser, instance, status_out_of_memory, id_memory_allocation_failure, nullptr,
                                     ("Failed to allocate memory for '%s'", instance->operation_name),
                                     "%s, error: %s", instance->error_message, why));
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
  uint64_t copied = 0;  // bytes copied out of the list so far, each text's NUL included
  for (uint32_t i = 0; i < instance->entries_count; ++i) {
    auto *entry = static_cast<received_entry *>(std::calloc(1, sizeof(received_entry)));
    if (entry == nullptr) return no_memory(std::strerror(errno));
    napi_value element;
    status = napi_get_element(env, list, i, &element);
    if (status != napi_ok) {
      std::free(entry);
      clear_pending_exception(env);
      return refused(RECORD_AND_LOG_AS(parser, instance, status_element_failed, names.element_id, nullptr,
                                       ("Failed to get an element from %s list", list_key), "%s, error: %d",
                                       instance->error_message, status));
    }
    auto unreadable = [&](uint32_t st) {  // the reader logged its own line
      std::free(entry->name);
      std::free(entry);
      return refused(record_failure(instance, st, id_failed_to_extract_convert, names.element_key,
                                    "Failed to extract/convert: '%s'", names.element_key));
    };
    size_t length = 0;
    if (uint32_t st = get_value_string_length(env, element, names.element_key, &length)) return unreadable(st);
    const bool too_long = names.record_bound != 0 && length > names.record_bound;
    const size_t taken = too_long ? std::min(length, logged_prefix) : length;
    if (copied + taken + 1 > max_list_copy_bytes) {
      std::free(entry);
      char why[96];
      std::snprintf(why, sizeof why, "%s hold more than the %" PRIu64 " bytes one request copies", list_key,
                    max_list_copy_bytes);
      return no_memory(why);
    }
    copied += taken + 1;
    if (uint32_t st = copy_value_string(env, element, names.element_key, taken, &entry->name)) return unreadable(st);
    if (too_long && (entry->kept = keep_caller_string(env, instance, element)) == 0) {
      std::free(entry->name);
      std::free(entry);
      return no_memory("the caller's text could not be kept");
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
    auto name = [&]() -> made_text {
      if (entry->kept == 0)
        return make_string_utf8(env, ckey(k_name), entry->name, entry->name ? std::strlen(entry->name) : 0);
      const napi_value kept = kept_caller_string(env, instance, entry->kept);
      if (kept == nullptr)  // left out, as a name that could not be made
        CIFS_LOG_AS("create_string_utf8", LOG_ERR, "Failed to create NAPI string for %s: %s, error: %d", ckey(k_name),
                    entry->name, napi_generic_failure);
      return kept;
    };
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
