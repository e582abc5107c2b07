// Records of the connection calls: the connection record the library lists
// and fills for the details of one connection, the block that carries the
// whole list, the number text the library is asked with, and the connection
// form of the open files request.
// Pure layout: this header includes nothing but <cstdint>/<cstddef>
// and sibling record headers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "wire/open_file_records.h"
#include "wire/records.h"

namespace cifs {

// One connection. Unlike the string-area records, its texts are fixed-size
// character fields; a library that fills one to the brim leaves no NUL, so a
// reader stops at the field's size.
inline constexpr size_t connection_address_size = 16;
inline constexpr size_t connection_user_name_size = 256;
inline constexpr size_t connection_type_size = 20;
inline constexpr size_t connection_status_size = 32;
inline constexpr size_t connection_privileges_size = 32;

struct __attribute__((packed)) connection_record {
  uint16_t connection_number;                       // 0
  uint16_t mapped_shares_count;                     // 2
  uint32_t open_files_count;                        // 4
  uint8_t unused0[4];                               // 8
  uint64_t login_time;                              // 12
  char client_address[connection_address_size];     // 20
  char user_name[connection_user_name_size];        // 36
  char connection_type[connection_type_size];       // 292
  int32_t channels;                                 // 312
  uint8_t encrypted;                                // 316: 0 = not encrypted
  uint8_t unused1[9];                               // 317
  uint32_t total_requests;                          // 326
  uint64_t total_bytes_read;                        // 330
  uint64_t total_bytes_written;                     // 338
  int32_t security_equivalence_count;               // 346: details only
  uint8_t unused2[4];                               // 350
  char status[connection_status_size];              // 354
  char privileges[connection_privileges_size];      // 386
};
static_assert(offsetof(connection_record, connection_number) == 0);
static_assert(offsetof(connection_record, mapped_shares_count) == 2);
static_assert(offsetof(connection_record, open_files_count) == 4);
static_assert(offsetof(connection_record, unused0) == 8);
static_assert(offsetof(connection_record, login_time) == 12);
static_assert(offsetof(connection_record, client_address) == 20);
static_assert(offsetof(connection_record, user_name) == 36);
static_assert(offsetof(connection_record, connection_type) == 292);
static_assert(offsetof(connection_record, channels) == 312);
static_assert(offsetof(connection_record, encrypted) == 316);
static_assert(offsetof(connection_record, unused1) == 317);
static_assert(offsetof(connection_record, total_requests) == 326);
static_assert(offsetof(connection_record, total_bytes_read) == 330);
static_assert(offsetof(connection_record, total_bytes_written) == 338);
static_assert(offsetof(connection_record, security_equivalence_count) == 346);
static_assert(offsetof(connection_record, unused2) == 350);
static_assert(offsetof(connection_record, status) == 354);
static_assert(offsetof(connection_record, privileges) == 386);
static_assert(sizeof(connection_record) == 418);

// Connection list block of CIFSLIB_GetConnectionsList, a malloc block the
// module releases with a single free: the total count, four bytes for
// alignment, then the address of the records, `total_count` of them back to
// back (unaligned), inside the block or wherever the library keeps them.
struct __attribute__((packed)) connection_list_header {
  uint32_t total_count;  // 0
  uint8_t unused0[4];    // 4: alignment, never read
  uint64_t records;      // 8: pointer to the first record
};
static_assert(offsetof(connection_list_header, total_count) == 0);
static_assert(offsetof(connection_list_header, unused0) == 4);
static_assert(offsetof(connection_list_header, records) == 8);
static_assert(sizeof(connection_list_header) == 16);

// The library's connection numbers are 16 bits wide, but the module asks with
// the decimal text of a 32-bit number ("%d") in a buffer of this size: at
// most six digits and the NUL, so nothing above 999,999 can be asked for.
inline constexpr size_t connection_number_text_size = 7;
inline constexpr uint32_t connection_number_text_max = 999999;

// The security equivalences of CIFSLIB_GetConnectionDetails come as
// `security_equivalence_count` NUL-terminated texts back to back in memory
// the library keeps; a count of 0 or below means none are read.

// The open files of a connection use the open files request with other
// contents: the connection number in the first u32 (which the share form
// leaves 0), no volume name (its offset absent), and the string area holding
// only the cookie and the filter block.
inline constexpr size_t connection_open_files_number_field = offsetof(open_files_request, unused0);
static_assert(connection_open_files_number_field == 0);

}  // namespace cifs
