// The connections list's parsed filters: unlike the other lists, whose
// filters the library applies, the connections list is filtered by the
// module, against this record, which the list request's parser fills and the
// request instance owns. The record owns every pattern buffer and pointer
// array in it; its owner releases them however the request ends. Pure code:
// no Node-API.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cifs {

// Each pattern is a zero-filled buffer of this size holding at most 31 bytes.
inline constexpr size_t connection_pattern_size = 32;
inline constexpr size_t connection_match_type_size = 32;
// Pattern counts are 16 bits wide.
inline constexpr size_t connection_max_patterns = UINT16_MAX;

// One slot per filterBy value. The last two are never filled by a parser of
// this module, and are released the same way all the same.
enum connection_filter_slot : uint32_t {
  slot_connection_type,
  slot_total_bytes_read,
  slot_total_bytes_written,
  slot_login_time,
  slot_status,
  slot_name,
  slot_spare0,
  slot_spare1,
  connection_filter_slot_count,
};

struct filter_slot {
  uint16_t count;    // 0: the filter is not in use
  char **patterns;   // `count` calloc'd buffers of connection_pattern_size bytes
};

struct cifs_advanced_filters {
  char match_type[connection_match_type_size];  // empty: no advancedFiltersInfo, keep everything
  filter_slot slots[connection_filter_slot_count];
};

// Releases one pattern list: each of its first `count` entries that is set,
// then the array (only the array when `count` is 0). Nothing for null.
void free_a_filter_list(uint16_t count, char **list);
// Releases every slot in use and marks it unused. Nothing for null.
void free_cifs_advanced_filters(cifs_advanced_filters *filters);

// The request instance's filter record, released when it goes.
class connection_filters_owner {
 public:
  connection_filters_owner() = default;
  ~connection_filters_owner() { free_cifs_advanced_filters(&record_); }
  connection_filters_owner(const connection_filters_owner &) = delete;
  connection_filters_owner &operator=(const connection_filters_owner &) = delete;

  cifs_advanced_filters &record() { return record_; }
  const cifs_advanced_filters &record() const { return record_; }
  void release() { free_cifs_advanced_filters(&record_); }

 private:
  cifs_advanced_filters record_{};
};

}  // namespace cifs
