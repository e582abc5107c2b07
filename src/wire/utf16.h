// UTF-8 to UTF-16 conversion for the identity library's name lookup. Pure code.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cifs {

// Converts the NUL-terminated `utf8` into NUL-terminated UTF-16 units (host
// order) inside `size` bytes of `utf16`. Returns the units written without the
// terminator, or -1 (bad input, a sequence outside the Basic Multilingual
// Plane, or no room); on -1 whatever was written is still terminated.
int convert_utf8_to_unicode(const char *utf8, uint16_t *utf16, size_t size);

}  // namespace cifs
