// Operations 3 and 4: the details and the mapped shares of one connection,
// which the library is asked for by the connection number's decimal text.
#include <cstdio>
#include <cstdlib>

#include "connections/connection_answer.h"
#include "connections/connections_operations.h"
#include "library/caller_identity.h"
#include "library/binding.h"
#include "base/error_codes.h"
#include "request/failure.h"
#include "base/log.h"
#include "values/keys.h"
#include "values/readers.h"

namespace cifs {

namespace {

// The number as the library takes it. The parser refused every number the
// text cannot carry, so the text is never cut.
struct connection_number_text {
  char text[connection_number_text_size] = {};
  explicit connection_number_text(uint32_t number) { std::snprintf(text, sizeof text, "%u", number); }
};

}  // namespace

uint32_t get_connection_details_input_data(napi_env env, napi_value request, request_instance *instance) {
  const char *key = ckey(k_connection_number);
  if (!validate_key(env, request, key)) {
    RECORD_AND_LOG(instance, status_dn_missing, id_data_not_contained, key,
                   ("Data received does not contain: '%s'", key), "%s, error: %d", instance->error_message,
                   static_cast<int>(instance->error_code));
    return UINT32_MAX;
  }
  if (uint32_t status = get_named_property_to_uint32(env, request, key, &instance->connection_number)) {
    RECORD_AND_LOG(instance, status, id_failed_to_extract_convert, key, ("Failed to extract/convert: '%s'", key),
                   "%s, error: %d", instance->error_message, static_cast<int>(status));
    return UINT32_MAX;
  }
  // Tested on the number itself: a text cut to six digits would name another connection.
  if (instance->connection_number > connection_number_text_max) {
    RECORD_AND_LOG(instance, status_connection_number_too_large, id_invalid_connection_number, key,
                   ("Connection number %u is out of range; the largest is %u", instance->connection_number,
                    connection_number_text_max),
                   "%s, error: %d", instance->error_message, static_cast<int>(instance->error_code));
    return UINT32_MAX;
  }
  return 0;
}

void cc_get_connection_details(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  if (!is_user_supervisor(instance) || !CIFS_REQUIRE(instance, CIFSLIB_GetConnectionDetails)) return;
  const connection_number_text number(instance->connection_number);
  instance->connection_records.reset(static_cast<connection_record *>(std::calloc(1, sizeof(connection_record))));
  if (!instance->connection_records) {
    RECORD_AND_LOG(instance, status_out_of_memory, id_memory_allocation_failure, nullptr,
                   ("Failed to allocate memory for storing connection info"), "%s, error: %d", instance->error_message,
                   static_cast<int>(status_out_of_memory));
    return;
  }
  char *texts = nullptr;
  const int32_t status = mgmt::CIFSLIB_GetConnectionDetails(number.text, instance->connection_records.get(), &texts);
  if (status == 0) instance->sev_list = texts;  // the library keeps them: read, never released
  // Logged with the number as the library's 16 bits show it.
  if (status != 0)
    RECORD_AND_LOG(instance, static_cast<uint32_t>(status), id_failed_connection_details, nullptr,
                   ("Failed to get CIFS connection details"), "%s of: %hu, error: %d", instance->error_message,
                   static_cast<unsigned short>(instance->connection_number), status);
}

void cc_list_connection_mapped_shares(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  if (!is_user_supervisor(instance) || !CIFS_REQUIRE(instance, CIFSLIB_GetConnectionMappedShares)) return;
  const connection_number_text number(instance->connection_number);
  void *block = nullptr;
  const int32_t status = mgmt::CIFSLIB_GetConnectionMappedShares(number.text, &block);
  instance->share_list.reset(static_cast<uint8_t *>(block));
  if (status != 0)
    RECORD_AND_LOG(instance, static_cast<uint32_t>(status), id_failed_connection_mapped_shares, nullptr,
                   ("Failed to get CIFS connection mapped shares"), "%s of: %hu, error: %d", instance->error_message,
                   static_cast<unsigned short>(instance->connection_number), status);
}

void cc_convert_connection_details_to_json(napi_env env, request_instance *instance, const answer_kit &kit) {
  (void)cc_convert_connection_info_to_json(env, instance, -1, nullptr, connection_form::details, kit);
}

}  // namespace cifs
