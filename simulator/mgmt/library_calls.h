// The twenty calls of the management library, named once: by the module's
// list of the calls it binds. That list holds names only, so the simulator
// still lays out every record from its own offsets (wire_layout.h); it is the
// one file the simulator takes from the module's sources.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>

namespace cifssim {

enum class library_call : uint8_t {
#define CIFS_MGMT_FUNCTION(name) name,
#include "../../src/library/function_list.inc"
#undef CIFS_MGMT_FUNCTION
};

inline constexpr const char *library_call_names[] = {
#define CIFS_MGMT_FUNCTION(name) #name,
#include "../../src/library/function_list.inc"
#undef CIFS_MGMT_FUNCTION
};
static_assert(std::size(library_call_names) == 20);

constexpr const char *name_of(library_call call) { return library_call_names[static_cast<size_t>(call)]; }

// The call of that name; nothing for any other text.
std::optional<library_call> library_call_named(std::string_view name);
inline bool is_library_call(std::string_view name) { return library_call_named(name).has_value(); }

}  // namespace cifssim
