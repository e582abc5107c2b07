// Operations 1 and 2: the connection count, and the list of connections,
// which the library hands over whole and this module filters and pages.
#include <algorithm>
#include <cstring>
#include <utility>

#include "connections/connection_answer.h"
#include "wire/connection_filters.h"
#include "wire/connection_matcher.h"
#include "connections/connections_operations.h"
#include "library/caller_identity.h"
#include "library/binding.h"
#include "wire/connection_list.h"
#include "base/error_codes.h"
#include "request/failure.h"
#include "base/log.h"
#include "request/napi_call.h"
#include "values/advanced_filters.h"
#include "base/byte_reader.h"
#include "values/env_cache.h"
#include "values/keys.h"
#include "base/malloc_block.h"
#include "base/list_limits.h"
#include "values/readers.h"

namespace cifs {

namespace {

constexpr filter_by_row connection_filter_by[] = {
    {"connectionType", slot_connection_type, connection_pattern_size, 0},
    {"totalBytesRead", slot_total_bytes_read, connection_pattern_size, 2, true},
    {"totalBytesWritten", slot_total_bytes_written, connection_pattern_size, 2, true},
    {"loginTime", slot_login_time, connection_pattern_size, 2, true},
    {"status", slot_status, connection_pattern_size, 0},
    {"name", slot_name, connection_pattern_size, 0},
};
constexpr filter_form connection_filters_form{
    filter_encoding::record,
    "get_list_connections_input_data",
    "get_connections_list_advanced_filter_input_data",
    connection_filter_by,
    max_list_entries,
    connection_max_patterns,
    connection_max_patterns_in_all,
    "Advanced filters do not fit in the connections filter record",
};

constexpr uint32_t all_bits = UINT32_MAX;

}  // namespace

void cc_get_connections_count(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  if (!is_user_supervisor(instance) || !CIFS_REQUIRE(instance, CIFSLIB_GetConnectionsCount)) return;
  const int32_t status = mgmt::CIFSLIB_GetConnectionsCount(&instance->connection_count);
  if (status != 0) {
    RECORD_AND_LOG(instance, static_cast<uint32_t>(status), id_failed_connections_count, nullptr,
                   ("Failed to get CIFS connections count"), "%s, error: %d", instance->error_message, status);
  }
}

void cc_convert_connections_count_to_json(napi_env env, request_instance *instance, const answer_kit &kit) {
  (void)kit.set(ck_active_connections, make_uint32(env, cifs_keys[ck_active_connections], instance->connection_count));
}

uint32_t get_list_connections_input_data(napi_env env, napi_value request, request_instance *instance) {
  for (auto [key, count] : {std::pair{k_ignore_count, &instance->ignore_count},
                            std::pair{k_return_count, &instance->return_count}}) {
    if (!validate_key(env, request, ckey(key))) {
      RECORD_AND_LOG(instance, status_dn_missing, id_data_not_contained, ckey(key),
                     ("Data received does not contain %s", ckey(key)), "%s", instance->error_message);
      return all_bits;
    }
    if (uint32_t status = get_named_property_to_uint32(env, request, ckey(key), count)) {
      RECORD_AND_LOG(instance, status, id_failed_to_extract_convert, ckey(key),
                     ("Failed to extract/convert %s", ckey(key)), "%s", instance->error_message);
      return all_bits;
    }
  }
  if (!validate_key(env, request, ckey(k_advanced_filters_info))) return 0;
  connection_filter_sink sink(instance->connection_filters.record());
  return read_advanced_filters(env, request, instance, connection_filters_form, sink) ? all_bits : 0;
}

// Worker thread. 0 when the connection is to be answered; all bits set when
// it is filtered out or skipped, or when a range pattern is invalid (then
// error_code is all bits set too).
uint32_t check_adv_filter_matching_for_connections(request_instance *instance, const connection_record &record) {
  const connection_match match = match_connection(instance->connection_filters.record(), record);
  if (match.verdict == match_verdict::invalid_pattern) {
    const invalid_range_pattern &bad = match.invalid;
    RECORD_AND_LOG(instance, all_bits, 0, nullptr,
                   ("Received invalid data for %s: %.*s, errno: %d", bad.filter_key,
                    static_cast<int>(bad.pattern.size()), bad.pattern.data(), bad.error_number),
                   "%s", instance->error_message);
    return all_bits;
  }
  if (match.verdict == match_verdict::drop) return all_bits;
  if (instance->ignore_count > 0) {
    --instance->ignore_count;
    return all_bits;
  }
  return 0;
}

void cc_list_all_connections(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  if (!is_user_supervisor(instance) || !CIFS_REQUIRE(instance, CIFSLIB_GetConnectionsList)) return;
  void *block = nullptr;
  const int32_t status = mgmt::CIFSLIB_GetConnectionsList(&block);
  instance->connection_list.reset(static_cast<uint8_t *>(block));  // ours to free, whatever the status
  instance->connection_count = 0;
  if (status != 0) {
    RECORD_AND_LOG(instance, static_cast<uint32_t>(status), id_failed_to_list_connections, nullptr,
                   ("Failed to get the list of CIFS connections"), "%s, error: %d", instance->error_message, status);
  } else if (block != nullptr) {
    // Ours to free, so the allocator's extent bounds records kept inside it.
    const connection_list_view list = read_connection_list(byte_reader(block, malloc_block_size(block)));
    switch (list.note) {
      case connection_list_note::none: break;
      case connection_list_note::no_records_pointer:
        LOG_ERROR("Connection list claims %u records and gives no records pointer", list.total);
        break;
      case connection_list_note::block_holds_fewer:
        LOG_ERROR("Connection list claims %u records, its block holds %u", list.total, list.readable);
        break;
      case connection_list_note::above_limit:
        LOG_ERROR("Connection list claims %u records, more than the %u read", list.total, list.readable);
        break;
    }
    const uint32_t examined = std::min(instance->return_count, list.readable);
    if (examined > 0) {
      instance->connection_records.reset(
          static_cast<connection_record *>(std::calloc(examined, sizeof(connection_record))));
      if (!instance->connection_records) {
        record_failure(instance, status_out_of_memory, id_memory_allocation_failure, nullptr,
                       "Failed to allocate memory to store connections list data");
      } else {
        for (uint32_t i = 0; i < examined; ++i) {
          connection_record &kept = instance->connection_records.get()[instance->connection_count];
          std::memcpy(&kept, list.records + size_t{i} * sizeof(connection_record), sizeof kept);
          if (check_adv_filter_matching_for_connections(instance, kept) == 0) ++instance->connection_count;
        }
      }
    }
  }
  instance->connection_list.reset();
}

void cc_convert_connections_list_to_json(napi_env env, request_instance *instance, const answer_kit &kit) {
  napi_value connections;
  if (napi_status status = napi_create_array_with_length(env, instance->connection_count, &connections)) {
    RECORD_AND_LOG(instance, static_cast<uint32_t>(status), 0, nullptr,
                   ("Failed to create array to store SEV information of the user/connection"), "%s, error: %d",
                   instance->error_message, status);
    return;
  }
  // A connection that cannot be made is logged and its index left empty; the list goes on.
  static constexpr element_texts texts{"Failed to create object to store user/connection information", true};
  record_run<r_connection> list(env, kit, connections, "cc_convert_connection_info_to_json", texts);
  for (uint32_t i = 0; i < instance->connection_count; ++i)
    (void)cc_convert_connection_info_to_json(env, instance, i, &list, connection_form::list, kit);
  (void)list.finish();
  if (napi_status status = kit.set(ck_connections, connections)) {
    RECORD_AND_LOG(instance, static_cast<uint32_t>(status), 0, nullptr,
                   ("Failed to copy CIFS connection list into return object"), "%s, error: %d", instance->error_message,
                   status);
  }
}

}  // namespace cifs
