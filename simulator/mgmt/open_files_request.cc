#include "open_files_request.h"

#include "byte_order.h"
#include "cifs_sim_status.h"
#include "wire_layout.h"

namespace cifssim {
namespace {

namespace request = wire::open_files_request;

// The open files requests take "type" patterns of at most 7 bytes.
constexpr pattern_limits open_files_limits{.type = 7};

}  // namespace

int32_t parse_list_request(std::span<const uint8_t> page, size_t page_size, list_request &out) {
  const auto area = declared_area(page, page_size, request::layout);
  if (!area) return CIFSSIM_BAD_REQUEST;
  list_request r;
  r.connection = get_u32(page, request::connection);
  const uint32_t volume_offset = get_u32(page, request::volume_name);
  if (volume_offset != wire::absent) {
    // The share form leaves the connection field as the zero-filled page had it.
    if (r.connection != 0) return CIFSSIM_BAD_REQUEST;
    const auto volume = text_in(*area, volume_offset, request::volume_name_size - 1);
    if (!volume) return CIFSSIM_BAD_REQUEST;
    r.volume = *volume;
  }
  if (const int32_t status =
          read_common_fields(page, *area, request::layout, request::cookie_size, open_files_limits, r))
    return status;
  out = std::move(r);
  return CIFSSIM_OK;
}

std::optional<std::string_view> close_record_path(std::span<const uint8_t> record) {
  if (record.size() != wire::close_file::record_size) return std::nullopt;
  if (!all_zero(record.first(wire::open_file::header_size))) return std::nullopt;
  return text_in(record.subspan(wire::open_file::header_size), 0, unbounded);
}

}  // namespace cifssim
