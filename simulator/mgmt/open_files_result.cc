#include "open_files_result.h"

#include <string>

#include "listing_result.h"
#include "mgmtclient/open_file_records.h"

namespace cifssim {

std::vector<uint8_t> open_file_record_bytes(const open_file &file) {
  std::string area;
  cifs::open_file_record h{};
  h.session_id = file.session_id;
  h.file_id = file.file_id;
  h.access_mask = file.access_mask;
  h.lock_level = file.lock_level;
  h.file_name_offset = put_text(area, file.name);
  h.share_name_offset = put_text(area, file.share);
  h.full_path_offset = put_text(area, file.full_path);
  h.user_name_offset = put_text(area, file.user_name);
  h.client_address_offset = put_text(area, file.client_address);
  h.strings_length = static_cast<uint32_t>(area.size());
  return header_then_area(h, area);
}

}  // namespace cifssim
