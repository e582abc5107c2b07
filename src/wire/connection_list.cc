#include "wire/connection_list.h"

#include <algorithm>

#include "wire/connection_records.h"
#include "wire/library_limits.h"

namespace cifs {

connection_list_view read_connection_list(const byte_reader &block) {
  connection_list_view view;
  view.total = block.value_at<uint32_t>(offsetof(connection_list_header, total_count)).value_or(0);
  const uintptr_t address = block.value_at<uintptr_t>(offsetof(connection_list_header, records)).value_or(0);
  if (address == 0) {
    // No records and no pointer to them is an honest empty list.
    if (view.total != 0) view.note = connection_list_note::no_records_pointer;
    return view;
  }
  view.records = reinterpret_cast<const uint8_t *>(address);
  if (const std::optional<size_t> at = block.offset_up_to_end(address)) {
    const size_t held = (block.size() - *at) / sizeof(connection_record);
    view.readable = static_cast<uint32_t>(std::min<size_t>(view.total, held));
    if (view.total > held) view.note = connection_list_note::block_holds_fewer;
  } else {
    view.readable = std::min(view.total, connection_list_max_records);
    if (view.total > connection_list_max_records) view.note = connection_list_note::above_limit;
  }
  return view;
}

}  // namespace cifs
