#include "open_files_request.h"

#include "cifs_sim_status.h"
#include "mgmtclient/open_file_records.h"

namespace cifssim {
namespace {

// The open files requests take "type" patterns of at most 7 bytes.
constexpr pattern_limits open_files_limits{.type = 7};

}  // namespace

int32_t parse_list_request(std::span<const uint8_t> page, size_t page_size, list_request &out) {
  const auto area = declared_area(page, page_size, cifs::open_files_request_layout);
  if (!area) return CIFSSIM_BAD_REQUEST;
  const auto h = copy_out<cifs::open_files_request>(page);

  list_request r;
  r.connection = h.unused0;
  r.ignore_count = h.ignore_count;
  r.return_count = h.return_count;
  if (h.volume_name_offset != cifs::absent_offset) {
    // The share form leaves the connection field as the zero-filled page had it.
    if (h.unused0 != 0) return CIFSSIM_BAD_REQUEST;
    const auto volume = text_in(*area, h.volume_name_offset, cifs::open_files_volume_name_size - 1);
    if (!volume) return CIFSSIM_BAD_REQUEST;
    r.volume = *volume;
  }
  if (const int32_t status = read_cookie_and_filters(*area, h.cookie_offset, cifs::open_files_cookie_size,
                                                     h.filters_offset, open_files_limits, r))
    return status;
  out = std::move(r);
  return CIFSSIM_OK;
}

std::optional<std::string_view> close_record_path(std::span<const uint8_t> record) {
  if (record.size() != sizeof(cifs::close_file_record)) return std::nullopt;
  if (!all_zero(record.first(sizeof(cifs::open_file_record)))) return std::nullopt;
  return text_in(record.subspan(sizeof(cifs::open_file_record)), 0, unbounded);
}

}  // namespace cifssim
