// Records exchanged with the CIFS management client library.
// Pure layout: this header includes nothing but <cstdint>/<cstddef>, so fuzz
// targets and native tests take it alone. The simulator keeps its own.
#pragma once

#include <cstddef>
#include <cstdint>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "records are little-endian");

namespace cifs {

// Marks an absent text in a string-area offset field.
inline constexpr uint32_t absent_offset = 0xFFFFFFFFu;

// Where a page-sized list request keeps its bookkeeping: the size of its
// fixed header (the string area follows it), and the header offsets of its
// u32 strings length and u32 advanced filter block offset.
struct page_layout {
  size_t header_size;
  size_t strings_length_field;
  size_t filters_offset_field;
};

// One share, as the library lists it and as the module sends it. The header is
// followed by `strings_length` bytes of NUL-terminated UTF-8 texts; every offset
// counts from the start of that string area.
struct __attribute__((packed)) share_record {
  uint16_t share_type;          // 0
  uint8_t unused0[2];           // 2
  uint32_t change_mask;         // 4
  uint32_t name_space;          // 8
  uint8_t encryption;           // 12
  uint8_t folder_redirection;   // 13
  uint8_t atm_backup;           // 14
  uint8_t unused1;              // 15
  uint32_t name_offset;         // 16
  uint32_t volume_name_offset;  // 20
  uint32_t comment_offset;      // 24
  uint32_t relative_path_offset;  // 28
  uint32_t absolute_path_offset;  // 32
  uint32_t new_name_offset;     // 36
  uint32_t open_files_count;    // 40
  uint32_t strings_length;      // 44
  // string area follows at 48
};
static_assert(offsetof(share_record, share_type) == 0);
static_assert(offsetof(share_record, change_mask) == 4);
static_assert(offsetof(share_record, name_space) == 8);
static_assert(offsetof(share_record, encryption) == 12);
static_assert(offsetof(share_record, folder_redirection) == 13);
static_assert(offsetof(share_record, atm_backup) == 14);
static_assert(offsetof(share_record, name_offset) == 16);
static_assert(offsetof(share_record, volume_name_offset) == 20);
static_assert(offsetof(share_record, comment_offset) == 24);
static_assert(offsetof(share_record, relative_path_offset) == 28);
static_assert(offsetof(share_record, absolute_path_offset) == 32);
static_assert(offsetof(share_record, new_name_offset) == 36);
static_assert(offsetof(share_record, open_files_count) == 40);
static_assert(offsetof(share_record, strings_length) == 44);
static_assert(sizeof(share_record) == 48);

// Change mask bits of a share record.
inline constexpr uint32_t change_new_name = 0x01;
inline constexpr uint32_t change_always = 0x02;  // set on every create or change request
inline constexpr uint32_t change_comment = 0x04;
inline constexpr uint32_t change_encryption = 0x08;
inline constexpr uint32_t change_folder_redirection = 0x10;
inline constexpr uint32_t change_atm_backup = 0x20;

// Name space values of a share record.
inline constexpr uint32_t name_space_dos = 0;
inline constexpr uint32_t name_space_mac = 1;
inline constexpr uint32_t name_space_unix = 2;
inline constexpr uint32_t name_space_long = 4;
inline constexpr uint32_t name_space_unknown = 0xFFFFFFFFu;

// Share types.
inline constexpr uint16_t share_type_disk = 0;
inline constexpr uint16_t share_type_system = 2;
inline constexpr uint16_t share_type_ipc = 3;
inline constexpr uint16_t share_type_custom = 4;
inline constexpr uint16_t share_type_dfs = 5;

// The per-share records of removal and feature switching carry one name in a
// string area of this size (the name and its NUL).
inline constexpr size_t name_record_area = 82;

// Share list block: a u32 count at byte 0, then `count` unaligned 8-byte
// pointers to share records. Allocated by the library with malloc; the module
// releases it with one free.
inline constexpr size_t share_list_count_size = 4;
inline constexpr size_t share_list_pointer_size = 8;

}  // namespace cifs
