// The SID area the identity library writes and later reads back: a
// well-formed SID whose last sub-authority is the owner's number.
#pragma once

#include <cstdint>
#include <optional>

namespace toralsim {

void write_sid(uint8_t *area, uint32_t number);  // area holds sid_area_size bytes
std::optional<uint32_t> read_sid(const uint8_t *area);

}  // namespace toralsim
