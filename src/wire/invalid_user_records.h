// Records of the cached invalid users listing: the page-sized request the
// module sends, the result header the library answers with, and the invalid
// user records it lays into a shared memory object.
// Pure layout: this header includes nothing but <cstdint>/<cstddef>
// and sibling record headers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "wire/open_file_records.h"
#include "wire/records.h"

namespace cifs {

// Invalid users request: one zero-filled memory page. The header is followed
// by the string area: the cookie (if any) at offset 0, then the advanced
// filter block (if any); offsets count from the start of the string area.
struct __attribute__((packed)) invalid_users_request {
  uint32_t ignore_count;    // 0
  uint32_t return_count;    // 4
  uint32_t cookie_offset;   // 8: absent_offset = no cookie
  uint32_t filters_offset;  // 12: absent_offset = no filters
  uint32_t strings_length;  // 16
  // string area follows at 20
};
static_assert(offsetof(invalid_users_request, ignore_count) == 0);
static_assert(offsetof(invalid_users_request, return_count) == 4);
static_assert(offsetof(invalid_users_request, cookie_offset) == 8);
static_assert(offsetof(invalid_users_request, filters_offset) == 12);
static_assert(offsetof(invalid_users_request, strings_length) == 16);
static_assert(sizeof(invalid_users_request) == 20);

inline constexpr page_layout invalid_users_request_layout{sizeof(invalid_users_request),
                                                          offsetof(invalid_users_request, strings_length),
                                                          offsetof(invalid_users_request, filters_offset)};

// Bound of the cookie text (the NUL included).
inline constexpr size_t invalid_users_cookie_size = 32;

// Result header of CIFSLIB_ListInvalidUsers; its texts follow at byte 24.
// The same layout as the open files result header, so one reader serves both.
struct __attribute__((packed)) invalid_users_result_header {
  uint32_t user_count;       // 0
  uint32_t cookie_offset;    // 4
  uint32_t shm_name_offset;  // 8
  uint8_t unused0[4];        // 12
  uint64_t shm_size;         // 16
  // string area follows at 24
};
static_assert(offsetof(invalid_users_result_header, user_count) == 0);
static_assert(offsetof(invalid_users_result_header, cookie_offset) == 4);
static_assert(offsetof(invalid_users_result_header, shm_name_offset) == 8);
static_assert(offsetof(invalid_users_result_header, unused0) == 12);
static_assert(offsetof(invalid_users_result_header, shm_size) == 16);
static_assert(sizeof(invalid_users_result_header) == 24);
static_assert(sizeof(invalid_users_result_header) == sizeof(open_files_result_header));
static_assert(offsetof(invalid_users_result_header, shm_name_offset) ==
              offsetof(open_files_result_header, shm_name_offset));
static_assert(offsetof(invalid_users_result_header, shm_size) == offsetof(open_files_result_header, shm_size));

// One cached user in the shared memory object. Records lie back to back: the
// next starts right after this one's string area (40 + strings_length).
inline constexpr size_t invalid_user_address_size = 16;

struct __attribute__((packed)) invalid_user_record {
  uint32_t state;                                    // 0: invalid_user_state_invalid, or blocked
  uint8_t unused0[4];                                // 4
  int64_t last_attempt_time;                         // 8
  char client_address[invalid_user_address_size];    // 16: NUL-terminated unless full
  uint32_t user_name_offset;                         // 32
  uint32_t strings_length;                           // 36
  // string area follows at 40
};
static_assert(offsetof(invalid_user_record, state) == 0);
static_assert(offsetof(invalid_user_record, unused0) == 4);
static_assert(offsetof(invalid_user_record, last_attempt_time) == 8);
static_assert(offsetof(invalid_user_record, client_address) == 16);
static_assert(offsetof(invalid_user_record, user_name_offset) == 32);
static_assert(offsetof(invalid_user_record, strings_length) == 36);
static_assert(sizeof(invalid_user_record) == 40);

// State 2 is a user cached after failed logins; every other state is a
// blocked (permanent invalid) user.
inline constexpr uint32_t invalid_user_state_invalid = 2;

}  // namespace cifs
