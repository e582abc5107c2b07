// Records of the open files calls: the page-sized list request the module
// sends, the result header the library answers with, the open file records
// it writes into a shared memory object, and the close file record.
// Pure layout: this header includes nothing but <cstdint>/<cstddef>, so fuzz
// targets and native tests take it alone. The simulator keeps its own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "wire/records.h"

namespace cifs {

// Open files request: one zero-filled memory page. The header is followed by
// the string area: the volume name, the cookie (if any), then the advanced
// filter block (if any); offsets count from the start of the string area.
struct __attribute__((packed)) open_files_request {
  uint32_t unused0;         // 0: never set by the module
  uint32_t ignore_count;    // 4
  uint32_t return_count;    // 8
  uint32_t cookie_offset;   // 12: absent_offset = no cookie
  uint32_t volume_name_offset;  // 16: always 0
  uint32_t filters_offset;  // 20: absent_offset = no filters
  uint32_t strings_length;  // 24
  // string area follows at 28
};
static_assert(offsetof(open_files_request, unused0) == 0);
static_assert(offsetof(open_files_request, ignore_count) == 4);
static_assert(offsetof(open_files_request, return_count) == 8);
static_assert(offsetof(open_files_request, cookie_offset) == 12);
static_assert(offsetof(open_files_request, volume_name_offset) == 16);
static_assert(offsetof(open_files_request, filters_offset) == 20);
static_assert(offsetof(open_files_request, strings_length) == 24);
static_assert(sizeof(open_files_request) == 28);

inline constexpr page_layout open_files_request_layout{sizeof(open_files_request),
                                                       offsetof(open_files_request, strings_length),
                                                       offsetof(open_files_request, filters_offset)};

// Bounds of the request texts (the NUL included).
inline constexpr size_t open_files_volume_name_size = 256;
inline constexpr size_t open_files_cookie_size = 32;

// Result header of CIFSLIB_ListOpenFiles; its texts follow at byte 24.
struct __attribute__((packed)) open_files_result_header {
  uint32_t file_count;       // 0
  uint32_t cookie_offset;    // 4
  uint32_t shm_name_offset;  // 8
  uint8_t unused0[4];        // 12
  uint64_t shm_size;         // 16
  // string area follows at 24
};
static_assert(offsetof(open_files_result_header, file_count) == 0);
static_assert(offsetof(open_files_result_header, cookie_offset) == 4);
static_assert(offsetof(open_files_result_header, shm_name_offset) == 8);
static_assert(offsetof(open_files_result_header, shm_size) == 16);
static_assert(sizeof(open_files_result_header) == 24);

// One open file in the shared memory object. Records lie back to back: the
// next starts right after this one's string area (40 + strings_length).
struct __attribute__((packed)) open_file_record {
  uint32_t session_id;          // 0
  uint32_t file_id;             // 4
  uint32_t access_mask;         // 8
  uint32_t lock_level;          // 12
  uint32_t file_name_offset;    // 16
  uint32_t share_name_offset;   // 20
  uint32_t full_path_offset;    // 24
  uint32_t user_name_offset;    // 28
  uint32_t client_address_offset;  // 32
  uint32_t strings_length;      // 36
  // string area follows at 40
};
static_assert(offsetof(open_file_record, session_id) == 0);
static_assert(offsetof(open_file_record, file_id) == 4);
static_assert(offsetof(open_file_record, access_mask) == 8);
static_assert(offsetof(open_file_record, lock_level) == 12);
static_assert(offsetof(open_file_record, file_name_offset) == 16);
static_assert(offsetof(open_file_record, share_name_offset) == 20);
static_assert(offsetof(open_file_record, full_path_offset) == 24);
static_assert(offsetof(open_file_record, user_name_offset) == 28);
static_assert(offsetof(open_file_record, client_address_offset) == 32);
static_assert(offsetof(open_file_record, strings_length) == 36);
static_assert(sizeof(open_file_record) == 40);

// The record of CIFSLIB_CloseOpenFile: an open file record whose only text is
// the full path (offset 0), in a string area of 4097 bytes.
inline constexpr size_t close_file_area = 4097;
struct __attribute__((packed)) close_file_record {
  open_file_record header;
  char strings[close_file_area];
};
static_assert(offsetof(close_file_record, strings) == 40);
static_assert(sizeof(close_file_record) == 40 + 4097);

// Advanced filter block, written into a request's string area.
struct __attribute__((packed)) filter_block_header {
  uint8_t filter_count;     // 0: low 8 bits of the filters array length
  uint8_t zero0[3];         // 1
  uint32_t match_type;      // 4: 1 all, 2 any, 3 none
  uint32_t entries_length;  // 8: bytes of all filter entries that follow
  // filter entries follow at 12
};
static_assert(offsetof(filter_block_header, filter_count) == 0);
static_assert(offsetof(filter_block_header, match_type) == 4);
static_assert(offsetof(filter_block_header, entries_length) == 8);
static_assert(sizeof(filter_block_header) == 12);

struct __attribute__((packed)) filter_entry_header {
  uint32_t filter_type;      // 0: 1 "type", 2 "search-name"
  uint8_t pattern_count;     // 4: low 8 bits of the patterns array length
  uint8_t zero0[3];          // 5
  uint32_t zero1;            // 8
  uint32_t patterns_offset;  // 12: from the start of the strings (filterBy length + 1)
  uint32_t strings_length;   // 16: filterBy and every pattern, each with its NUL
  // strings follow at 20
};
static_assert(offsetof(filter_entry_header, filter_type) == 0);
static_assert(offsetof(filter_entry_header, pattern_count) == 4);
static_assert(offsetof(filter_entry_header, zero1) == 8);
static_assert(offsetof(filter_entry_header, patterns_offset) == 12);
static_assert(offsetof(filter_entry_header, strings_length) == 16);
static_assert(sizeof(filter_entry_header) == 20);

inline constexpr uint32_t match_type_all = 1;
inline constexpr uint32_t match_type_any = 2;
inline constexpr uint32_t match_type_none = 3;
inline constexpr uint32_t filter_type_type = 1;
inline constexpr uint32_t filter_type_search_name = 2;

}  // namespace cifs
