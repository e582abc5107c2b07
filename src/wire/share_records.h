// Reading share list blocks the library returns, and building the share
// records the module sends. Pure code: no Node-API, so native tests and fuzz
// targets drive it directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "wire/records.h"
#include "base/byte_reader.h"
#include "base/malloc_ptr.h"

namespace cifs {

// One listed share. A text whose offset is absent, outside the record, or not
// NUL-terminated inside it reads as empty.
struct share_view {
  uint16_t share_type;
  uint32_t name_space;
  uint8_t encryption;
  uint8_t folder_redirection;
  uint8_t atm_backup;
  uint32_t open_files_count;
  std::string_view name, volume_name, comment, relative_path, absolute_path;
};

// Why a listed record was not read. A record inside the list block (its very
// end included) must fit before the block's end; a record apart from it is the
// library's own memory, read by its header with its strings length capped.
enum class share_fault : uint8_t {
  none,
  null_record,         // skipped without a word: the library may list one
  header_past_block,   // the 48-byte header does not fit before the block's end
  strings_past_block,  // the header fits, its strings length does not
  strings_too_long,    // a record apart from the block claims more strings than we read
};

// What a log line says about a skipped record; null for none and null_record.
const char *share_fault_text(share_fault fault);

// Walks a share list block of `block_size` readable bytes. A count that does
// not fit the block is cut to the pointers that do, and pointer slots end where
// the first record kept inside the block begins.
class share_list_reader {
 public:
  share_list_reader(const uint8_t *block, size_t block_size);
  uint32_t count() const { return count_; }
  // Share i, or nothing for a record that was not read; `fault`, when given,
  // says why (none when a share is returned).
  std::optional<share_view> share(uint32_t i, share_fault *fault = nullptr) const;

 private:
  byte_reader block_;
  uint32_t count_ = 0;
};

// Reads the share record at `offset` of `block`: its header and the
// `strings_length` bytes that follow must lie inside the block.
std::optional<share_view> read_share_record(const byte_reader &block, size_t offset, share_fault *fault = nullptr);

// Reads a share record the library keeps apart from its list block: the
// 48-byte header at `record`, then at most share_record_max_strings bytes of
// strings, as its strings length gives them.
std::optional<share_view> read_apart_share_record(const uint8_t *record, share_fault *fault = nullptr);

// The texts of a create or change request; an absent optional text is left
// out of the record and its offset set to absent.
struct share_config_texts {
  std::string_view name, volume_name, relative_path;
  std::optional<std::string_view> comment, new_name;
};

// A zero-filled record of exactly 48 bytes plus every text and its NUL, in the
// order name, volume, relative path, comment, new name, with the comment and
// new-name change bits. Null when the allocation fails (errno tells why).
malloc_ptr<share_record> build_share_config_record(const share_config_texts &texts);

// The record naming a volume alone (closing all its open files): 48 zero
// bytes but the strings length, then the volume name (offset 0) and its NUL.
// Null when the allocation fails (errno tells why).
malloc_ptr<share_record> build_volume_record(std::string_view volume);

// The fixed-size record of the per-name calls (removal, feature switching).
struct __attribute__((packed)) name_share_record {
  share_record header;
  char strings[name_record_area];
};
static_assert(sizeof(name_share_record) == 48 + 82);

// Fills `record` for `name` (all other fields zero). False, leaving the record
// untouched, when the name and its NUL do not fit the 82-byte area.
bool fill_name_record(name_share_record *record, std::string_view name);

}  // namespace cifs
