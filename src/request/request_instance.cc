#include "request/request_instance.h"

#include <cstdlib>

namespace cifs {

void free_received_entries_list(request_instance *instance) {
  while (received_entry *entry = instance->entries_head) {
    instance->entries_head = entry->next;
    std::free(entry->name);
    std::free(entry);
  }
  instance->entries_head = nullptr;
  instance->entries_tail = nullptr;
}

}  // namespace cifs
