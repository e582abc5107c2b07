// The twenty calls the simulated management library exports. The module binds
// them by name at run time, so they share no declaration with it: each takes
// its records as bytes laid out by wire_layout.h.
#pragma once

#include <cstdint>

#include "cifssim_export.h"

extern "C" {
CIFSSIM_EXPORT int32_t CIFSLIB_GetShareNames(void *);
CIFSSIM_EXPORT int32_t CIFSLIB_ListAllShares(void **share_list_block);
CIFSSIM_EXPORT int32_t CIFSLIB_CreateShare(void *share_record);
CIFSSIM_EXPORT int32_t CIFSLIB_ChangeShareConfiguration(void *share_record);
CIFSSIM_EXPORT int32_t CIFSLIB_ChangeShareFeatureConfiguration(void *share_record);
CIFSSIM_EXPORT int32_t CIFSLIB_RemoveShare(void *share_record);  // not in the partial build
CIFSSIM_EXPORT int32_t CIFSLIB_ListOpenFiles(void *request_page, void **result_header);
CIFSSIM_EXPORT int32_t CIFSLIB_CloseOpenFile(void *close_record);
CIFSSIM_EXPORT int32_t CIFSLIB_CloseAllOpenFiles(void *share_record);
CIFSSIM_EXPORT int32_t CIFSLIB_GetConnectionsCount(uint32_t *count);
CIFSSIM_EXPORT int32_t CIFSLIB_GetConnectionsList(void **connection_list_block);
CIFSSIM_EXPORT int32_t CIFSLIB_GetConnectionDetails(const char *number_text, void *record, char **sev_texts);
CIFSSIM_EXPORT int32_t CIFSLIB_GetConnectionMappedShares(const char *number_text, void **share_list_block);
CIFSSIM_EXPORT int32_t CIFSLIB_ListInvalidUsers(void *request_page, void **result_header);
CIFSSIM_EXPORT int32_t CIFSLIB_AddPermanentInvalidUser(const char *user_name);
CIFSSIM_EXPORT int32_t CIFSLIB_RemoveInvalidUser(const char *user_name);
CIFSSIM_EXPORT int32_t CIFSLIB_MakePermanentInvalidUser(const char *user_name);
CIFSSIM_EXPORT int32_t CIFSLIB_ListUserContexts(uint32_t **count, char **list);
CIFSSIM_EXPORT int32_t CIFSLIB_AddUserContext(const char *context);  // not in the partial build
CIFSSIM_EXPORT int32_t CIFSLIB_RemoveUserContext(const char *context);
}
