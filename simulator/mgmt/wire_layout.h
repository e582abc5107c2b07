// Byte offsets of everything the management library exchanges with its
// caller, counted from the start of each record. Every record is packed and
// little-endian; texts sit in a string area after a fixed header, addressed
// by offsets from the start of that area.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cifssim::wire {

// An offset field that names no text.
inline constexpr uint32_t absent = 0xFFFFFFFFu;

namespace share {
inline constexpr size_t type = 0;  // u16
inline constexpr size_t change_mask = 4;
inline constexpr size_t name_space = 8;
inline constexpr size_t encryption = 12;  // u8 each
inline constexpr size_t folder_redirection = 13;
inline constexpr size_t atm_backup = 14;
inline constexpr size_t name = 16;  // u32 text offsets
inline constexpr size_t volume_name = 20;
inline constexpr size_t comment = 24;
inline constexpr size_t relative_path = 28;
inline constexpr size_t absolute_path = 32;
inline constexpr size_t new_name = 36;
inline constexpr size_t open_files_count = 40;
inline constexpr size_t strings_length = 44;
inline constexpr size_t header_size = 48;

inline constexpr uint32_t change_new_name = 0x01;
inline constexpr uint32_t change_always = 0x02;
inline constexpr uint32_t change_comment = 0x04;
inline constexpr uint32_t change_encryption = 0x08;
inline constexpr uint32_t change_folder_redirection = 0x10;
inline constexpr uint32_t change_atm_backup = 0x20;

inline constexpr uint16_t type_disk = 0;
inline constexpr uint16_t type_system = 2;
inline constexpr uint16_t type_ipc = 3;

inline constexpr uint32_t name_space_dos = 0;
inline constexpr uint32_t name_space_unix = 2;
inline constexpr uint32_t name_space_long = 4;
inline constexpr uint32_t name_space_unknown = 0xFFFFFFFFu;
}  // namespace share

// The share list block: a count, then that many unaligned record pointers.
namespace share_list {
inline constexpr size_t count = 0;
inline constexpr size_t pointers = 4;
inline constexpr size_t pointer_size = 8;
}  // namespace share_list

// The connection list block: a count, four bytes nobody reads, then a
// pointer to the records, which lie back to back wherever it points.
namespace connection_list {
inline constexpr size_t count = 0;
inline constexpr size_t unread = 4;
inline constexpr size_t records = 8;
inline constexpr size_t block_size = 16;
}  // namespace connection_list

namespace connection {
inline constexpr size_t number = 0;  // u16
inline constexpr size_t mapped_shares_count = 2;  // u16
inline constexpr size_t open_files_count = 4;
inline constexpr size_t login_time = 12;  // u64
inline constexpr size_t client_address = 20;
inline constexpr size_t client_address_size = 16;
inline constexpr size_t user_name = 36;
inline constexpr size_t user_name_size = 256;
inline constexpr size_t type = 292;
inline constexpr size_t type_size = 20;
inline constexpr size_t channels = 312;  // i32
inline constexpr size_t encrypted = 316;  // u8
inline constexpr size_t total_requests = 326;
inline constexpr size_t total_bytes_read = 330;  // u64
inline constexpr size_t total_bytes_written = 338;  // u64
inline constexpr size_t security_equivalence_count = 346;  // i32
inline constexpr size_t status = 354;
inline constexpr size_t status_size = 32;
inline constexpr size_t privileges = 386;
inline constexpr size_t privileges_size = 32;
inline constexpr size_t record_size = 418;

// The number text the details and mapped shares calls take: six digits and a NUL.
inline constexpr size_t number_text_size = 7;
}  // namespace connection

// The header of a shared memory listing (open files, invalid users).
namespace result_header {
inline constexpr size_t count = 0;
inline constexpr size_t cookie = 4;
inline constexpr size_t object_name = 8;
inline constexpr size_t object_size = 16;  // u64
inline constexpr size_t header_size = 24;
}  // namespace result_header

namespace open_file {
inline constexpr size_t session_id = 0;
inline constexpr size_t file_id = 4;
inline constexpr size_t access_mask = 8;
inline constexpr size_t lock_level = 12;
inline constexpr size_t file_name = 16;  // u32 text offsets
inline constexpr size_t share_name = 20;
inline constexpr size_t full_path = 24;
inline constexpr size_t user_name = 28;
inline constexpr size_t client_address = 32;
inline constexpr size_t strings_length = 36;
inline constexpr size_t header_size = 40;
}  // namespace open_file

// Closing one file: an open file record whose string area holds the path alone.
namespace close_file {
inline constexpr size_t strings_size = 4097;
inline constexpr size_t record_size = open_file::header_size + strings_size;
}  // namespace close_file

namespace invalid_user {
inline constexpr size_t state = 0;
inline constexpr size_t last_attempt_time = 8;  // i64
inline constexpr size_t client_address = 16;
inline constexpr size_t client_address_size = 16;
inline constexpr size_t user_name = 32;  // u32 text offset
inline constexpr size_t strings_length = 36;
inline constexpr size_t header_size = 40;

inline constexpr uint32_t state_invalid = 2;  // any other state is a blocked user
}  // namespace invalid_user

// Where a page-sized list request keeps what every such request has.
struct page_layout {
  size_t header_size;
  size_t strings_length;
  size_t filters;
  size_t ignore_count;
  size_t return_count;
  size_t cookie;
};

// The open files request; in the connection form the first u32 is the
// connection number and the volume offset is absent.
namespace open_files_request {
inline constexpr size_t connection = 0;
inline constexpr size_t volume_name = 16;
inline constexpr size_t volume_name_size = 256;
inline constexpr size_t cookie_size = 32;
inline constexpr page_layout layout{.header_size = 28, .strings_length = 24, .filters = 20, .ignore_count = 4,
                                    .return_count = 8, .cookie = 12};
}  // namespace open_files_request

namespace invalid_users_request {
inline constexpr size_t cookie_size = 32;
inline constexpr page_layout layout{.header_size = 20, .strings_length = 16, .filters = 12, .ignore_count = 0,
                                    .return_count = 4, .cookie = 8};
}  // namespace invalid_users_request

// The advanced filter block inside a request's string area, and its entries.
namespace filter_block {
inline constexpr size_t filter_count = 0;  // u8, three zero bytes after it
inline constexpr size_t match_type = 4;
inline constexpr size_t entries_length = 8;
inline constexpr size_t header_size = 12;

inline constexpr uint32_t match_all = 1;
inline constexpr uint32_t match_any = 2;
inline constexpr uint32_t match_none = 3;
}  // namespace filter_block

namespace filter_entry {
inline constexpr size_t type = 0;
inline constexpr size_t pattern_count = 4;  // u8, then seven zero bytes
inline constexpr size_t zero_from = 5;
inline constexpr size_t patterns_offset = 12;
inline constexpr size_t strings_length = 16;
inline constexpr size_t header_size = 20;

inline constexpr uint32_t type_type = 1;
inline constexpr uint32_t type_search_name = 2;
}  // namespace filter_entry

}  // namespace cifssim::wire
