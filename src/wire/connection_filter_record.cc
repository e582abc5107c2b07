#include "wire/connection_filter_record.h"

#include <cstdlib>

namespace cifs {

void free_a_filter_list(uint16_t count, char **list) {
  if (list == nullptr) return;
  for (uint16_t i = 0; i < count; ++i) {
    std::free(list[i]);
    list[i] = nullptr;
  }
  std::free(list);
}

void free_cifs_advanced_filters(cifs_advanced_filters *filters) {
  if (filters == nullptr) return;
  for (filter_slot &slot : filters->slots) {
    if (slot.count == 0 || slot.patterns == nullptr) continue;
    free_a_filter_list(slot.count, slot.patterns);
    slot.patterns = nullptr;
    slot.count = 0;
  }
}

}  // namespace cifs
