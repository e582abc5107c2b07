// How far the module trusts memory the management library keeps for itself.
// Such memory (records apart from their list block, result headers, security
// equivalence texts) has no extent the module can ask for, so every count and
// length read from it is capped here, far above anything a real server hands
// back, and a cut is logged where it happens.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cifs {

// Connection records apart from their list block: the library's connection
// numbers are 16 bits wide, so no honest list holds more.
inline constexpr uint32_t connection_list_max_records = 65536;

// The strings length of a share record apart from its list block.
inline constexpr uint32_t share_record_max_strings = 65536;

// The texts of a list result header: the shared memory object's name (a name
// not terminated within it is never opened, since a cut name could name
// another object) and the continuation cookie (cut there, with a log line).
inline constexpr size_t result_object_name_max = 256;
inline constexpr size_t result_cookie_max = 1024;

// One page of a shared memory listing: at most this many bytes of the object
// are copied, which bounds the records read from it too. A page whose header
// and object both hold more is refused, never cut.
inline constexpr uint64_t listing_max_bytes = uint64_t{64} << 20;

// The security equivalences of one connection: this many texts, each ending
// with its NUL within this many bytes, all of them within the total. Far
// above any real directory's groups for one user.
inline constexpr uint32_t security_equivalence_max_texts = 65536;
inline constexpr size_t security_equivalence_max_bytes = 65536;
inline constexpr size_t security_equivalence_max_total = size_t{16} << 20;

}  // namespace cifs
