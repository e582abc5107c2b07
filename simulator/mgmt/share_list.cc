#include "share_list.h"

#include <cstdlib>
#include <cstring>

#include "mgmtclient/records.h"
#include "share_record_codec.h"

static_assert(sizeof(void *) == cifs::share_list_pointer_size, "list pointers are stored as they are");

namespace cifssim {

void *build_raw_share_list(const std::vector<std::optional<std::vector<uint8_t>>> &records, uint32_t count) {
  const size_t slots = records.size();
  size_t size = cifs::share_list_count_size + slots * cifs::share_list_pointer_size;
  for (const auto &r : records)
    if (r) size += r->size();

  auto *block = static_cast<uint8_t *>(std::calloc(1, size));
  if (!block) return nullptr;
  std::memcpy(block, &count, sizeof count);
  uint8_t *next_record = block + cifs::share_list_count_size + slots * cifs::share_list_pointer_size;
  for (size_t i = 0; i < records.size(); ++i) {
    if (!records[i]) continue;  // calloc left the slot null
    std::memcpy(next_record, records[i]->data(), records[i]->size());
    const void *pointer = next_record;
    std::memcpy(block + cifs::share_list_count_size + i * cifs::share_list_pointer_size, &pointer, sizeof pointer);
    next_record += records[i]->size();
  }
  return block;
}

void *build_share_list(const std::vector<share> &shares) {
  std::vector<std::optional<std::vector<uint8_t>>> records;
  records.reserve(shares.size());
  for (const auto &s : shares) records.emplace_back(listed_record(s));
  return build_raw_share_list(records, static_cast<uint32_t>(shares.size()));
}

}  // namespace cifssim
