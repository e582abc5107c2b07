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
inline constexpr uint32_t status_page_size_failed = 40037;
inline constexpr uint32_t status_invalid_match_type = 41200;
inline constexpr uint32_t status_library_not_loaded = 41451;
inline constexpr uint32_t status_all_feature_changes_failed = 41452;
inline constexpr uint32_t status_all_share_removals_failed = 41453;
inline constexpr uint32_t status_all_file_closes_failed = 41454;
// Ours: a request the library's fixed-size record cannot carry (a filter block
// over the one-byte counts or the page, a path over the close file record), so
// it is refused before anything is sent.
inline constexpr uint32_t status_does_not_fit = 41455;
inline constexpr uint32_t status_pattern_count_short = 41456;
inline constexpr uint32_t status_all_invalid_user_changes_failed = 41457;
inline constexpr uint32_t status_all_invalid_user_removals_failed = 41458;
inline constexpr uint32_t status_all_context_removals_failed = 41459;
inline constexpr uint32_t status_all_context_adds_failed = 41460;
// Ours: a connection number above what the library's six-digit number text
// can carry, refused before the library is asked.
inline constexpr uint32_t status_connection_number_too_large = 41461;

inline constexpr uint32_t id_failed_to_extract_convert = 2;
inline constexpr uint32_t id_data_not_contained = 4;
inline constexpr uint32_t id_memory_allocation_failure = 7;
inline constexpr uint32_t id_failed_to_validate_user = 10;
inline constexpr uint32_t id_napi_type_check_failed = 12;
inline constexpr uint32_t id_failed_to_get_pagesize = 13;
inline constexpr uint32_t id_filters_length = 184;
inline constexpr uint32_t id_filters_element = 185;
inline constexpr uint32_t id_patterns_length = 186;
inline constexpr uint32_t id_patterns_element = 187;
inline constexpr uint32_t id_invalid_filter_type = 188;
inline constexpr uint32_t id_library_not_loaded = 386;
inline constexpr uint32_t id_failed_connections_count = 387;
inline constexpr uint32_t id_failed_to_list_shares = 388;
inline constexpr uint32_t id_failed_to_create_share = 389;
inline constexpr uint32_t id_failed_to_change_share = 390;
inline constexpr uint32_t id_invalid_share_feature = 391;
inline constexpr uint32_t id_failed_array_length = 392;
inline constexpr uint32_t id_failed_list_element = 393;
inline constexpr uint32_t id_failed_to_change_all_shares = 394;
inline constexpr uint32_t id_failed_to_remove_all_shares = 395;
inline constexpr uint32_t id_failed_to_list_open_files = 396;
inline constexpr uint32_t id_files_length = 397;
inline constexpr uint32_t id_files_element = 398;
inline constexpr uint32_t id_failed_to_close_files = 399;
inline constexpr uint32_t id_failed_to_close_all_files = 400;
inline constexpr uint32_t id_invalid_connection_number = 401;
inline constexpr uint32_t id_invalid_match_type = 402;
inline constexpr uint32_t id_failed_to_list_connections = 403;
inline constexpr uint32_t id_failed_connection_details = 404;
inline constexpr uint32_t id_failed_connection_open_files = 405;
inline constexpr uint32_t id_invalid_config_value = 406;
inline constexpr uint32_t id_invalid_pattern_count = 407;
inline constexpr uint32_t id_failed_connection_mapped_shares = 408;
inline constexpr uint32_t id_failed_to_list_invalid_users = 409;
inline constexpr uint32_t id_failed_to_add_blocked_user = 410;
inline constexpr uint32_t id_failed_to_add_invalid_user = 411;
inline constexpr uint32_t id_usernames_length = 412;
inline constexpr uint32_t id_usernames_element = 413;
inline constexpr uint32_t id_failed_to_block_all_users = 414;
inline constexpr uint32_t id_failed_to_make_all_permanent = 415;
inline constexpr uint32_t id_failed_to_unblock_all_users = 416;
inline constexpr uint32_t id_failed_to_remove_all_invalid_users = 417;
inline constexpr uint32_t id_unable_to_list_contexts = 418;
inline constexpr uint32_t id_failed_to_remove_all_contexts = 419;
inline constexpr uint32_t id_failed_to_add_all_contexts = 420;

}  // namespace cifs
