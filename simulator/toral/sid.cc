#include "sid.h"

#include <array>
#include <cstring>

#include "toral_layout.h"

namespace toralsim {
namespace {

// Revision 1, five sub-authorities, NT authority 5, then 21 and a marker that
// tells our SIDs from zero-filled or foreign areas.
constexpr std::array<uint8_t, 8> sid_head = {1, 5, 0, 0, 0, 0, 0, 5};
constexpr uint32_t sub_domain = 21;
constexpr uint32_t marker = 0x41524f54;  // "TORA"
constexpr size_t number_at = sid_head.size() + 4 * sizeof(uint32_t);

}  // namespace

void write_sid(uint8_t *area, uint32_t number) {
  std::memset(area, 0, sid_area_size);
  std::memcpy(area, sid_head.data(), sid_head.size());
  std::memcpy(area + sid_head.size(), &sub_domain, sizeof sub_domain);
  std::memcpy(area + sid_head.size() + 4, &marker, sizeof marker);
  std::memcpy(area + number_at, &number, sizeof number);
}

std::optional<uint32_t> read_sid(const uint8_t *area) {
  uint32_t domain = 0;
  uint32_t seen_marker = 0;
  std::memcpy(&domain, area + sid_head.size(), sizeof domain);
  std::memcpy(&seen_marker, area + sid_head.size() + 4, sizeof seen_marker);
  if (std::memcmp(area, sid_head.data(), sid_head.size()) != 0 || domain != sub_domain || seen_marker != marker)
    return std::nullopt;
  uint32_t number = 0;
  std::memcpy(&number, area + number_at, sizeof number);
  return number;
}

}  // namespace toralsim
