// The module's own error codes (delivered as errorCode) and the error ids it
// records (rows of the error tag table, delivered as their tags).
#pragma once

#include <cstdint>

namespace cifs {

inline constexpr uint32_t status_napi_string_failed = 40000;
inline constexpr uint32_t status_extract_failed = 40002;
inline constexpr uint32_t status_typeof_failed = 40003;
inline constexpr uint32_t status_string_convert_failed = 40004;
inline constexpr uint32_t status_uint32_convert_failed = 40005;
inline constexpr uint32_t status_int32_convert_failed = 40006;
inline constexpr uint32_t status_queue_failed = 40009;
inline constexpr uint32_t status_promise_failed = 40010;
inline constexpr uint32_t status_wrong_type = 40011;
inline constexpr uint32_t status_dn_missing = 40016;
inline constexpr uint32_t status_out_of_memory = 40017;
inline constexpr uint32_t status_invalid_value = 40018;
inline constexpr uint32_t status_async_work_failed = 40021;
inline constexpr uint32_t status_array_length_failed = 40022;
inline constexpr uint32_t status_element_failed = 40023;
inline constexpr uint32_t status_unicode_failed = 40025;
inline constexpr uint32_t status_not_supervisor = 40031;
inline constexpr uint32_t status_library_not_loaded = 41451;

inline constexpr uint32_t id_failed_to_extract_convert = 2;
inline constexpr uint32_t id_memory_allocation_failure = 7;
inline constexpr uint32_t id_failed_to_validate_user = 10;
inline constexpr uint32_t id_library_not_loaded = 386;
inline constexpr uint32_t id_failed_to_list_shares = 388;
inline constexpr uint32_t id_failed_to_create_share = 389;
inline constexpr uint32_t id_failed_to_change_share = 390;
inline constexpr uint32_t id_invalid_share_feature = 391;
inline constexpr uint32_t id_failed_array_length = 392;
inline constexpr uint32_t id_failed_list_element = 393;
inline constexpr uint32_t id_invalid_config_value = 406;
inline constexpr uint32_t id_unable_to_list_contexts = 418;

}  // namespace cifs
