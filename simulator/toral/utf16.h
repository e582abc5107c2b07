// Decoding of the NUL-terminated UTF-16 names the identity library receives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace toralsim {

// UTF-8 text of `units` up to its NUL, or nothing when no NUL comes within
// `max_units`. Unpaired surrogates become U+FFFD, as the name is only a lookup key.
std::optional<std::string> utf16_to_utf8(const uint16_t *units, size_t max_units);

}  // namespace toralsim
