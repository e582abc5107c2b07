#include "base/error_tags.h"

#include <array>

#include "base/error_codes.h"
#include "base/log.h"

namespace cifs {
namespace {

// Row 0: no failure is ever recorded with it (an error id of 0 is none).
constexpr uint32_t id_success = 0;

// Tags this module records, each by its named id. Ids of other management
// areas have no row contents here: their tag stays null, so a stray id can
// only ever yield no tag, never another area's.
constexpr error_tag_row known_rows[] = {
    {id_success, "@@success", "Operation executed successfully"},
    {id_failed_to_extract_convert, "@@failed-to-extract-convert", "Failed to extract/convert %s"},
    {id_data_not_contained, "@@data-received-does-not-contain", "Data received does not contain %s"},
    {id_memory_allocation_failure, "@@memory-allocation-failure", "Memory allocation failure"},
    {id_failed_to_validate_user, "@@failed-to-validate-credentials-or-authorize-user",
     "Failed to validate credentials or authorize user"},
    {id_napi_type_check_failed, "@@napi-type-check-failed", "Napi type check failed for %s"},
    {id_failed_to_get_pagesize, "@@failed-to-get-pagesize", "Failed to get pagesize"},
    {id_filters_length, "@@failed-to-get-array-length-of-af", "Failed to get array length of advanced filters"},
    {id_filters_element, "@@failed-to-get-filter-from-af-list", "Failed to get advanced filter from the list"},
    {id_patterns_length, "@@failed-to-get-array-length-of-patterns", "Failed to get array length of patterns"},
    {id_patterns_element, "@@failed-to-get-pattern-from-patterns-list", "Failed to get pattern from patterns list"},
    {id_invalid_filter_type, "@@invalid-filter-type", "Received invalid filter type"},
    {id_library_not_loaded, "@@failed-to-load-cifsmgmtclient-library",
     "CIFSMGMTCLIENT library might not be available to execute CIFS operations"},
    {id_failed_connections_count, "@@failed-to-get-cifs-connections-count", "Failed to get cifs connections count"},
    {id_failed_to_list_shares, "@@failed-to-get-the-list-of-cifs-shares", "Failed to get the list of cifs shares"},
    {id_failed_to_create_share, "@@failed-to-create-cifs-share", "Failed to create CIFS share"},
    {id_failed_to_change_share, "@@failed-to-change-cifs-share-configuration",
     "Failed to change cifs share configuration"},
    {id_invalid_share_feature, "@@invalid-share-feature-input",
     "Invalid share feature received as input to be configured"},
    {id_failed_array_length, "@@failed-to-get-array-length-of-shares",
     "Failed to get array length of shares list received"},
    {id_failed_list_element, "@@failed-to-get-share-from-shares-list",
     "Failed to get share from list of shares received"},
    {id_failed_to_change_all_shares, "@@failed-to-change-all-cifs-shares-configuration",
     "Failed to change configuration of all specified CIFS shares"},
    {id_failed_to_remove_all_shares, "@@failed-to-remove-all-cifs-shares",
     "Failed to remove all the specified CIFS shares"},
    {id_failed_to_list_open_files, "@@failed-to-list-all-open-files", "Failed to list all open files of volume: %s"},
    {id_files_length, "@@failed-to-get-array-length-of-files", "Failed to get array length of files list received"},
    {id_files_element, "@@failed-to-get-file-from-files-list", "Failed to get file from list of files received"},
    {id_failed_to_close_files, "@@failed-to-close-open-file", "Failed to close specified open file(s)"},
    {id_failed_to_close_all_files, "@@failed-to-close-all-open-files", "Failed to close all open files of volume: %s"},
    {id_invalid_connection_number, "@@invalid-connection-number", "Invalid connection number"},
    {id_invalid_match_type, "@@invalid-adv-filter-match-type-entered", "Invalid advanced filter match type entered"},
    {id_failed_to_list_connections, "@@failed-to-get-the-list-of-cifs-connections",
     "Failed to get the list of cifs connections"},
    {id_failed_connection_details, "@@failed-to-get-cifs-connection-details", "Failed to get cifs connection details"},
    {id_failed_connection_open_files, "@@failed-to-list-connection-open-files",
     "Failed to list open files of connection"},
    {id_invalid_config_value, "@@invalid-config-value", "Received invalid configuration value for: %s"},
    {id_invalid_pattern_count, "@@invalid-af-pattern-count", "Invalid af pattern count: %s"},
    {id_failed_connection_mapped_shares, "@@failed-to-get-cifs-connection-mapped-shares",
     "Failed to get cifs connection mapped shares"},
    {id_failed_to_list_invalid_users, "@@failed-to-list-invalid-users", "Failed to list invalid users"},
    {id_failed_to_add_blocked_user, "@@failed-to-add-blocked-user",
     "Failed to add the user as a blocked (permanent invalid) user"},
    {id_failed_to_add_invalid_user, "@@failed-to-add-invalid-user",
     "Failed to add the user as a permanent invalid user"},
    {id_usernames_length, "@@failed-to-get-array-length-of-usernames",
     "Failed to get array length of usernames list received"},
    {id_usernames_element, "@@failed-to-get-username-from-names-list",
     "Failed to get username from list of usernames received"},
    {id_failed_to_block_all_users, "@@failed-to-make-all-invalid-users-blocked",
     "Failed to make all the specified invalid users to blocked"},
    {id_failed_to_make_all_permanent, "@@failed-to-make-all-invalid-users-permanent",
     "Failed to make all the specified invalid users to permanent"},
    {id_failed_to_unblock_all_users, "@@failed-to-unblock-all-invalid-users",
     "Failed to unblock (remove) all the specified invalid/blocked users"},
    {id_failed_to_remove_all_invalid_users, "@@failed-to-remove-all-invalid-users",
     "Failed to remove all the specified invalid users"},
    {id_unable_to_list_contexts, "@@unable-to-list-cifs-user-contexts", "Unable to list cifs user contexts"},
    {id_failed_to_remove_all_contexts, "@@failed-to-remove-all-cifs-user-contexts",
     "Failed to remove all cifs user contexts"},
    {id_failed_to_add_all_contexts, "@@failed-to-add-all-cifs-user-contexts", "Failed to add all cifs user contexts"},
};

// Position i holds id i, except that id 466 has no row: from there on each
// row moves up one place, and the last position holds the terminator 468.
constexpr std::array<error_tag_row, errorTagMap_rows> build_table() {
  std::array<error_tag_row, errorTagMap_rows> rows{};
  for (int i = 0; i < errorTagMap_rows; ++i) rows[i] = {i < 466 ? i : i + 1, nullptr, nullptr};
  for (const error_tag_row &known : known_rows) {
    // Past 465 a row would land one place off; a second row for an id would hide the first.
    if (known.id < 0 || known.id >= 466 || rows[known.id].tag != nullptr) throw "each recorded id once, below 466";
    rows[known.id] = known;
  }
  return rows;
}

}  // namespace

constexpr std::array<error_tag_row, errorTagMap_rows> errorTagMap = build_table();
static_assert(errorTagMap[466].id == 467 && errorTagMap[467].id == 468 && errorTagMap[467].tag == nullptr);
static_assert(errorTagMap[420].id == 420 && errorTagMap[2].id == 2);

const char *get_err_tag_from_index(int32_t id) {
  LOG_ERROR("get_err_tag_from_index: error id: %d", id);
  if (id < 1 || id > 467) return nullptr;
  const error_tag_row &row = errorTagMap[static_cast<size_t>(id)];
  return row.id == id ? row.tag : nullptr;
}

}  // namespace cifs
