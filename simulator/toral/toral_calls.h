// The three calls the simulated identity library exports, with its own
// parameter types; the module declares its own and links against them.
#pragma once

#include <cstdint>

#include "cifssim_export.h"

extern "C" {
CIFSSIM_EXPORT int32_t torallib_get_userinfo_from_name(const char *dn, int32_t *user_type, uint8_t guid[16],
                                                       uint8_t sid[72], uint32_t *uid, int32_t *further);
CIFSSIM_EXPORT int32_t torallib_get_sevlist_from_name(const uint16_t *utf16_name, uint32_t *capacity, void *entries,
                                                      uint32_t *is_supervisor);
CIFSSIM_EXPORT int32_t torallib_get_sevlist_from_sid(uint8_t sid[72], uint32_t *count, void **list,
                                                     uint32_t *is_supervisor);
}
