// Every request and answer key of the module, by index. Unused entries keep
// their place so that the indexes stay fixed.
#pragma once

#include <cstdint>

namespace cifs {

inline constexpr const char *comn_keys[50] = {
    "description", "error", "errorCode", "operation", "status",            // 0-4
    "flags", "guid", "errorID", "args", "dn",                              // 5-9
    "path", "nameSpace", "requestFlags", "dirQuota", "advancedFiltersInfo",  // 10-14
    "matchType", "filters", "filterBy", "patterns", "resourceName",        // 15-19
    "ipAddress", "port", "virtualServerName", "resource", "resources",     // 20-24
    "ignoreCount", "returnCount", "authToken", "name", "type",             // 25-29
    "volumeName", "count", "cookie", "names", "userName",                  // 30-34
    "files", "openFiles", "openFilesCount", "successfulList", "successfulCount",  // 35-39
    "failedList", "failedCount", "connection", "connectionNumber", "shareName",  // 40-44
    "list", "password", "value", "action", "logLevel",                     // 45-49
};

inline constexpr uint32_t comn_key_count = sizeof comn_keys / sizeof comn_keys[0];

inline constexpr const char *cifs_keys[35] = {
    "share", "shares", "newName", "comment", "relativePath",                          // 0-4
    "absolutePath", "encryption", "globalEncryption", "folderRedirection", "atmBackup",  // 5-9
    "activeConnections", "configuration", "connections", "connectionType", "ipAddress",  // 10-14
    "totalBytesRead", "totalBytesWritten", "totalRequests", "loginTime", "channels",  // 15-19
    "privileges", "status", "securityEquivalence", "isEncrypted", "mappedSharesCount",  // 20-24
    "sessionID", "ID", "fullPath", "clientIPAddress", "accessModes",                  // 25-29
    "lockLevel", "lastAuthAttemptTime", "invalidUsers", "users", "userContexts",      // 30-34
};

// Names for the indexes the code uses.
enum comn_key : int {
  k_description = 0, k_error = 1, k_error_code = 2, k_operation = 3, k_status = 4,
  k_error_id = 7, k_args = 8, k_dn = 9, k_name_space = 11, k_advanced_filters_info = 14,
  k_match_type = 15, k_filters = 16, k_filter_by = 17, k_patterns = 18,
  k_ignore_count = 25, k_return_count = 26, k_name = 28, k_type = 29, k_volume_name = 30,
  k_count = 31, k_cookie = 32, k_names = 33, k_user_name = 34, k_files = 35, k_open_files = 36,
  k_open_files_count = 37,
  k_successful_list = 38, k_successful_count = 39, k_failed_list = 40, k_failed_count = 41,
  k_connection = 42, k_connection_number = 43, k_share_name = 44,
  k_log_level = 49,
};

enum cifs_key : int {
  ck_shares = 1, ck_new_name = 2, ck_comment = 3, ck_relative_path = 4, ck_absolute_path = 5,
  ck_encryption = 6, ck_folder_redirection = 8, ck_atm_backup = 9, ck_session_id = 25, ck_id = 26,
  ck_full_path = 27, ck_client_ip_address = 28, ck_access_modes = 29, ck_lock_level = 30, ck_user_contexts = 34,
  ck_active_connections = 10, ck_connections = 12, ck_connection_type = 13, ck_ip_address = 14,
  ck_total_bytes_read = 15, ck_total_bytes_written = 16, ck_total_requests = 17, ck_login_time = 18,
  ck_channels = 19, ck_privileges = 20, ck_status = 21, ck_security_equivalence = 22, ck_is_encrypted = 23,
  ck_mapped_shares_count = 24, ck_last_auth_attempt_time = 31, ck_invalid_users = 32, ck_users = 33,
};

inline const char *ckey(comn_key k) { return comn_keys[k]; }
inline const char *ckey(cifs_key k) { return cifs_keys[k]; }

}  // namespace cifs
