#include "module/error_tags.h"

#include <array>

#include "module/log.h"

namespace cifs {
namespace {

// Tags this module records. Ids of other management areas have no row
// contents here: their tag stays null, so a stray id can only ever yield no
// tag, never another area's.
constexpr error_tag_row known_rows[] = {
    {0, "@@success", "Operation executed successfully"},
    {2, "@@failed-to-extract-convert", "Failed to extract/convert %s"},
    {4, "@@data-received-does-not-contain", "Data received does not contain %s"},
    {7, "@@memory-allocation-failure", "Memory allocation failure"},
    {10, "@@failed-to-validate-credentials-or-authorize-user", "Failed to validate credentials or authorize user"},
    {12, "@@napi-type-check-failed", "Napi type check failed for %s"},
    {13, "@@failed-to-get-pagesize", "Failed to get pagesize"},
    {184, "@@failed-to-get-array-length-of-af", "Failed to get array length of advanced filters"},
    {185, "@@failed-to-get-filter-from-af-list", "Failed to get advanced filter from the list"},
    {186, "@@failed-to-get-array-length-of-patterns", "Failed to get array length of patterns"},
    {187, "@@failed-to-get-pattern-from-patterns-list", "Failed to get pattern from patterns list"},
    {188, "@@invalid-filter-type", "Received invalid filter type"},
    {386, "@@failed-to-load-cifsmgmtclient-library",
     "CIFSMGMTCLIENT library might not be available to execute CIFS operations"},
    {387, "@@failed-to-get-cifs-connections-count", "Failed to get cifs connections count"},
    {388, "@@failed-to-get-the-list-of-cifs-shares", "Failed to get the list of cifs shares"},
    {389, "@@failed-to-create-cifs-share", "Failed to create CIFS share"},
    {390, "@@failed-to-change-cifs-share-configuration", "Failed to change cifs share configuration"},
    {391, "@@invalid-share-feature-input", "Invalid share feature received as input to be configured"},
    {392, "@@failed-to-get-array-length-of-shares", "Failed to get array length of shares list received"},
    {393, "@@failed-to-get-share-from-shares-list", "Failed to get share from list of shares received"},
    {394, "@@failed-to-change-all-cifs-shares-configuration",
     "Failed to change configuration of all specified CIFS shares"},
    {395, "@@failed-to-remove-all-cifs-shares", "Failed to remove all the specified CIFS shares"},
    {396, "@@failed-to-list-all-open-files", "Failed to list all open files of volume: %s"},
    {397, "@@failed-to-get-array-length-of-files", "Failed to get array length of files list received"},
    {398, "@@failed-to-get-file-from-files-list", "Failed to get file from list of files received"},
    {399, "@@failed-to-close-open-file", "Failed to close specified open file(s)"},
    {400, "@@failed-to-close-all-open-files", "Failed to close all open files of volume: %s"},
    {401, "@@invalid-connection-number", "Invalid connection number"},
    {402, "@@invalid-adv-filter-match-type-entered", "Invalid advanced filter match type entered"},
    {403, "@@failed-to-get-the-list-of-cifs-connections", "Failed to get the list of cifs connections"},
    {404, "@@failed-to-get-cifs-connection-details", "Failed to get cifs connection details"},
    {405, "@@failed-to-list-connection-open-files", "Failed to list open files of connection"},
    {406, "@@invalid-config-value", "Received invalid configuration value for: %s"},
    {407, "@@invalid-af-pattern-count", "Invalid af pattern count: %s"},
    {408, "@@failed-to-get-cifs-connection-mapped-shares", "Failed to get cifs connection mapped shares"},
    {409, "@@failed-to-list-invalid-users", "Failed to list invalid users"},
    {410, "@@failed-to-add-blocked-user", "Failed to add the user as a blocked (permanent invalid) user"},
    {411, "@@failed-to-add-invalid-user", "Failed to add the user as a permanent invalid user"},
    {412, "@@failed-to-get-array-length-of-usernames", "Failed to get array length of usernames list received"},
    {413, "@@failed-to-get-username-from-names-list", "Failed to get username from list of usernames received"},
    {414, "@@failed-to-make-all-invalid-users-blocked", "Failed to make all the specified invalid users to blocked"},
    {415, "@@failed-to-make-all-invalid-users-permanent",
     "Failed to make all the specified invalid users to permanent"},
    {416, "@@failed-to-unblock-all-invalid-users",
     "Failed to unblock (remove) all the specified invalid/blocked users"},
    {417, "@@failed-to-remove-all-invalid-users", "Failed to remove all the specified invalid users"},
    {418, "@@unable-to-list-cifs-user-contexts", "Unable to list cifs user contexts"},
    {419, "@@failed-to-remove-all-cifs-user-contexts", "Failed to remove all cifs user contexts"},
    {420, "@@failed-to-add-all-cifs-user-contexts", "Failed to add all cifs user contexts"},
};

// Position i holds id i, except that id 466 has no row: from there on each
// row moves up one place, and the last position holds the terminator 468.
constexpr std::array<error_tag_row, errorTagMap_rows> build_table() {
  std::array<error_tag_row, errorTagMap_rows> rows{};
  for (int i = 0; i < errorTagMap_rows; ++i) rows[i] = {i < 466 ? i : i + 1, nullptr, nullptr};
  for (const error_tag_row &known : known_rows) rows[known.id] = known;
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
