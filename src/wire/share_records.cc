#include "wire/share_records.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "wire/library_limits.h"

namespace cifs {

namespace {

std::optional<share_view> skipped(share_fault why, share_fault *fault) {
  if (fault) *fault = why;
  return std::nullopt;
}

}  // namespace

const char *share_fault_text(share_fault fault) {
  switch (fault) {
    case share_fault::header_past_block: return "its 48-byte header runs past the end of the list block";
    case share_fault::strings_past_block: return "its strings length runs past the end of the list block";
    case share_fault::strings_too_long:
      return "it lies apart from the list block and its strings length is above 65536 bytes";
    case share_fault::none:
    case share_fault::null_record: break;
  }
  return nullptr;
}

namespace {

share_view view_of(const share_record &header, const byte_reader &strings) {
  share_view view{};
  view.share_type = header.share_type;
  view.name_space = header.name_space;
  view.encryption = header.encryption;
  view.folder_redirection = header.folder_redirection;
  view.atm_backup = header.atm_backup;
  view.open_files_count = header.open_files_count;
  view.name = strings.text_or_empty(header.name_offset);
  view.volume_name = strings.text_or_empty(header.volume_name_offset);
  view.comment = strings.text_or_empty(header.comment_offset);
  view.relative_path = strings.text_or_empty(header.relative_path_offset);
  view.absolute_path = strings.text_or_empty(header.absolute_path_offset);
  return view;
}

}  // namespace

std::optional<share_view> read_share_record(const byte_reader &block, size_t offset, share_fault *fault) {
  const std::optional<share_record> header = block.value_at<share_record>(offset);
  if (!header) return skipped(share_fault::header_past_block, fault);
  const std::optional<byte_reader> strings = block.sub(offset + sizeof(share_record), header->strings_length);
  if (!strings) return skipped(share_fault::strings_past_block, fault);
  if (fault) *fault = share_fault::none;
  return view_of(*header, *strings);
}

std::optional<share_view> read_apart_share_record(const uint8_t *record, share_fault *fault) {
  const share_record header = *byte_reader(record, sizeof(share_record)).value_at<share_record>(0);
  static_assert(share_record_max_strings == 65536, "share_fault_text names the limit");
  if (header.strings_length > share_record_max_strings) return skipped(share_fault::strings_too_long, fault);
  if (fault) *fault = share_fault::none;
  return view_of(header, byte_reader(record + sizeof(share_record), header.strings_length));
}

namespace {

static_assert(sizeof(uintptr_t) == share_list_pointer_size, "list pointers are read as they are stored");

size_t slot_offset(size_t i) { return share_list_count_size + i * share_list_pointer_size; }

}  // namespace

share_list_reader::share_list_reader(const uint8_t *block, size_t block_size) : block_(block, block_size) {
  const std::optional<uint32_t> claimed = block_.value_at<uint32_t>(0);
  if (!claimed) return;
  const size_t fitting = (block_.size() - share_list_count_size) / share_list_pointer_size;
  const size_t slots = *claimed < fitting ? *claimed : fitting;
  // Records kept in the block follow the pointer array: a slot that reaches
  // into the first of them is record data, however large the count claims to be.
  size_t records_start = block_.size();
  size_t accepted = 0;
  for (; accepted < slots; ++accepted) {
    if (slot_offset(accepted) + share_list_pointer_size > records_start) break;
    const auto address = block_.value_at<uintptr_t>(slot_offset(accepted));
    if (const std::optional<size_t> at = block_.offset_of(reinterpret_cast<const void *>(*address)))
      if (*at < records_start) records_start = *at;
  }
  count_ = static_cast<uint32_t>(accepted);
}

std::optional<share_view> share_list_reader::share(uint32_t i, share_fault *fault) const {
  if (i >= count_) return skipped(share_fault::null_record, fault);
  const uintptr_t address = block_.value_at<uintptr_t>(slot_offset(i)).value_or(0);
  if (address == 0) return skipped(share_fault::null_record, fault);
  if (const std::optional<size_t> at = block_.offset_up_to_end(address)) return read_share_record(block_, *at, fault);
  return read_apart_share_record(reinterpret_cast<const uint8_t *>(address), fault);
}

malloc_ptr<share_record> build_share_config_record(const share_config_texts &texts) {
  const std::string_view *ordered[] = {&texts.name, &texts.volume_name, &texts.relative_path,
                                       texts.comment ? &*texts.comment : nullptr,
                                       texts.new_name ? &*texts.new_name : nullptr};
  size_t strings_length = 0;
  for (const std::string_view *text : ordered)
    if (text) strings_length += text->size() + 1;
  if (strings_length > UINT32_MAX - sizeof(share_record)) {
    errno = EOVERFLOW;  // the record's length field cannot describe it
    return nullptr;
  }
  auto *bytes = static_cast<uint8_t *>(std::calloc(1, sizeof(share_record) + strings_length));
  if (bytes == nullptr) return nullptr;
  malloc_ptr<share_record> record(reinterpret_cast<share_record *>(bytes));

  uint32_t offsets[5] = {absent_offset, absent_offset, absent_offset, absent_offset, absent_offset};
  uint8_t *area = bytes + sizeof(share_record);
  uint32_t used = 0;
  for (size_t i = 0; i < 5; ++i) {
    if (!ordered[i]) continue;
    offsets[i] = used;
    // An empty view may carry a null pointer, which memcpy must never see.
    if (!ordered[i]->empty()) std::memcpy(area + used, ordered[i]->data(), ordered[i]->size());
    used += static_cast<uint32_t>(ordered[i]->size() + 1);  // the NUL is already there
  }
  share_record header{};
  header.name_offset = offsets[0];
  header.volume_name_offset = offsets[1];
  header.relative_path_offset = offsets[2];
  header.comment_offset = offsets[3];
  header.new_name_offset = offsets[4];
  header.strings_length = used;
  if (texts.comment) header.change_mask |= change_comment;
  if (texts.new_name) header.change_mask |= change_new_name;
  std::memcpy(bytes, &header, sizeof header);
  return record;
}

malloc_ptr<share_record> build_volume_record(std::string_view volume) {
  if (volume.size() >= UINT32_MAX - sizeof(share_record)) {
    errno = EOVERFLOW;  // the record's length field cannot describe it
    return nullptr;
  }
  auto *bytes = static_cast<uint8_t *>(std::calloc(1, sizeof(share_record) + volume.size() + 1));
  if (bytes == nullptr) return nullptr;
  malloc_ptr<share_record> record(reinterpret_cast<share_record *>(bytes));
  share_record header{};
  header.strings_length = static_cast<uint32_t>(volume.size() + 1);
  std::memcpy(bytes, &header, sizeof header);
  std::memcpy(bytes + sizeof header, volume.data(), volume.size());  // the NUL is already there
  return record;
}

bool fill_name_record(name_share_record *record, std::string_view name) {
  if (name.size() >= name_record_area) return false;
  std::memset(record, 0, sizeof *record);
  if (!name.empty()) std::memcpy(record->strings, name.data(), name.size());
  share_record header{};
  header.name_offset = 0;
  header.strings_length = static_cast<uint32_t>(name.size() + 1);
  std::memcpy(&record->header, &header, sizeof header);
  return true;
}

}  // namespace cifs
