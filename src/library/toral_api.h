// Calls of the identity translation library, linked at load time. Each returns
// a signed 32-bit status, 0 for success.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cifs {
inline constexpr int32_t toral_buffer_too_small = -9009;  // capacity now holds the entries needed
inline constexpr size_t sev_entry_size = 16;
inline constexpr size_t guid_area_size = 16;
inline constexpr size_t sid_area_size = 72;
inline constexpr int32_t user_type_by_name = 1;
}  // namespace cifs

extern "C" {
int32_t torallib_get_userinfo_from_name(const char *dn, int32_t *user_type, uint8_t guid[16], uint8_t sid[72],
                                        uint32_t *uid, int32_t *further);
int32_t torallib_get_sevlist_from_name(const uint16_t *utf16_name, uint32_t *capacity, void *entries,
                                       uint32_t *is_supervisor);
int32_t torallib_get_sevlist_from_sid(uint8_t sid[72], uint32_t *count, void **list, uint32_t *is_supervisor);
}
