// Batch outcome lists: one received_entry per requested name, reported as the
// successful and failed names of the answer.
#pragma once

#include <node_api.h>

#include "base/leaving.h"
#include "request/request_instance.h"

namespace cifs {

// A request's array of names: its key, the key that names one element in
// messages (and in error_key when an element is not a string), the error
// ids of an unreadable length and an element that cannot be taken, and the
// longest text (in bytes) the operation's record carries (0: any).
struct name_list {
  const char *list_key;
  const char *element_key;
  uint32_t length_id;
  uint32_t element_id;
  size_t record_bound = 0;
};

// Reads the string array `names.list_key` of `request` into the instance's
// entry list, in array order. Each text is measured before it is copied: one
// longer than the record carries is never copied whole (its entry keeps the
// caller's string for the answer and its first bytes for the log), and the
// bytes one request copies stay within max_list_copy_bytes; beyond them the
// request fails as an allocation would, logged once. Returns 0, or all bits
// set with the error fields recorded (and logged under `parser`, the
// operation's parser) and the list released. `feature_*` are copied into
// every entry.
uint32_t read_names_into_entries(napi_env env, napi_value request, request_instance *instance, const name_list &names,
                                 const char *parser, uint8_t feature_value = 0, uint32_t feature_flag = 0);

// Calls `process` once per entry in request order; a non-zero status it
// returns marks the entry failed (the callee logs it). Stops before the next
// entry once the process is leaving.
template <class Process>
void process_entries(request_instance *instance, Process &&process);

// The caller was refused (or the library call is unavailable): no name was
// processed, so every entry is reported failed with the request's error code.
void fail_all_entries(request_instance *instance);

// Releases the caller's strings the entries kept (JavaScript thread); the
// completion and every path that drops a parsed request call it.
void release_kept_strings(napi_env env, request_instance *instance);

// Adds successfulCount/successfulList/failedCount/failedList (the list
// itself goes with the instance).
void convert_processed_entries_list_to_json(napi_env env, request_instance *instance, const char *entry_word,
                                            const class answer_kit &kit);

template <class Process>
void process_entries(request_instance *instance, Process &&process) {
  for (received_entry *entry = instance->entries_head; entry != nullptr && !leaving(); entry = entry->next) {
    int32_t status = process(*entry);
    if (status != 0) {
      entry->status = status;
      ++instance->failed_count;
    }
  }
}

}  // namespace cifs
