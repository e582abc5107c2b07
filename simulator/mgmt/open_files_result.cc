#include "open_files_result.h"

#include <string>

#include "string_record.h"
#include "wire_layout.h"

namespace cifssim {

std::vector<uint8_t> open_file_record_bytes(const open_file &file) {
  namespace layout = wire::open_file;
  string_record r(layout::header_size);
  const uint32_t name = r.add_text(file.name);
  const uint32_t share = r.add_text(file.share);
  const uint32_t full_path = r.add_text(file.full_path);
  const uint32_t user_name = r.add_text(file.user_name);
  const uint32_t client_address = r.add_text(file.client_address);
  byte_writer h = r.header();
  h.u32(layout::session_id, file.session_id);
  h.u32(layout::file_id, file.file_id);
  h.u32(layout::access_mask, file.access_mask);
  h.u32(layout::lock_level, file.lock_level);
  h.u32(layout::file_name, name);
  h.u32(layout::share_name, share);
  h.u32(layout::full_path, full_path);
  h.u32(layout::user_name, user_name);
  h.u32(layout::client_address, client_address);
  return std::move(r).finish(layout::strings_length);
}

}  // namespace cifssim
