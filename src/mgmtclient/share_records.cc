#include "mgmtclient/share_records.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace cifs {

namespace {

template <class T>
T load(const uint8_t *at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// The text at `offset` of a string area of `length` bytes, if it is terminated inside it.
std::string_view text_at(const uint8_t *area, size_t length, uint32_t offset) {
  if (offset == absent_offset || offset >= length) return {};
  const auto *start = reinterpret_cast<const char *>(area + offset);
  const void *nul = std::memchr(start, '\0', length - offset);
  if (nul == nullptr) return {};
  return {start, static_cast<size_t>(static_cast<const char *>(nul) - start)};
}

}  // namespace

std::optional<share_view> read_share_record(const uint8_t *record, size_t extent) {
  if (record == nullptr || extent < sizeof(share_record)) return std::nullopt;
  share_record header;
  std::memcpy(&header, record, sizeof header);
  size_t area_length = extent - sizeof(share_record);
  if (header.strings_length < area_length) area_length = header.strings_length;
  const uint8_t *area = record + sizeof(share_record);
  share_view view{};
  view.share_type = header.share_type;
  view.name_space = header.name_space;
  view.encryption = header.encryption;
  view.folder_redirection = header.folder_redirection;
  view.atm_backup = header.atm_backup;
  view.open_files_count = header.open_files_count;
  view.name = text_at(area, area_length, header.name_offset);
  view.volume_name = text_at(area, area_length, header.volume_name_offset);
  view.comment = text_at(area, area_length, header.comment_offset);
  view.relative_path = text_at(area, area_length, header.relative_path_offset);
  view.absolute_path = text_at(area, area_length, header.absolute_path_offset);
  return view;
}

share_list_reader::share_list_reader(const uint8_t *block, size_t block_size) : block_(block), size_(block_size) {
  if (block_ == nullptr || size_ < share_list_count_size) return;
  const uint32_t claimed = load<uint32_t>(block_);
  const size_t fitting = (size_ - share_list_count_size) / share_list_pointer_size;
  const size_t slots = claimed < fitting ? claimed : fitting;
  // Records kept in the block follow the pointer array: a slot that reaches
  // into the first of them is record data, however large the count claims to be.
  const auto begin = reinterpret_cast<uintptr_t>(block_);
  uintptr_t records_start = begin + size_;
  size_t accepted = 0;
  for (; accepted < slots; ++accepted) {
    const size_t slot = share_list_count_size + accepted * share_list_pointer_size;
    if (begin + slot + share_list_pointer_size > records_start) break;
    const auto address = reinterpret_cast<uintptr_t>(load<const uint8_t *>(block_ + slot));
    if (address >= begin && address < records_start) records_start = address;
  }
  count_ = static_cast<uint32_t>(accepted);
}

std::optional<share_view> share_list_reader::share(uint32_t i) const {
  if (i >= count_) return std::nullopt;
  const auto *record =
      load<const uint8_t *>(block_ + share_list_count_size + static_cast<size_t>(i) * share_list_pointer_size);
  if (record == nullptr) return std::nullopt;
  // A record inside the block ends with it at the latest; one elsewhere is
  // bounded by its own header (48 bytes and its strings length).
  const auto address = reinterpret_cast<uintptr_t>(record);
  const auto begin = reinterpret_cast<uintptr_t>(block_);
  if (address >= begin && address < begin + size_) return read_share_record(record, begin + size_ - address);
  share_record header;
  std::memcpy(&header, record, sizeof header);
  return read_share_record(record, sizeof(share_record) + static_cast<size_t>(header.strings_length));
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
    std::memcpy(area + used, ordered[i]->data(), ordered[i]->size());
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
  std::memcpy(record->strings, name.data(), name.size());
  share_record header{};
  header.name_offset = 0;
  header.strings_length = static_cast<uint32_t>(name.size() + 1);
  std::memcpy(&record->header, &header, sizeof header);
  return true;
}

}  // namespace cifs
