// The twenty calls the simulated management library exports, pinned to the
// call shapes the addon binds them with.
#pragma once

#include <cstdint>
#include <type_traits>

#include "cifssim_export.h"
#include "mgmtclient/cifsmgmt_api.h"

extern "C" {
CIFSSIM_EXPORT int32_t CIFSLIB_GetShareNames(void *);
CIFSSIM_EXPORT int32_t CIFSLIB_ListAllShares(void **share_list_block);
CIFSSIM_EXPORT int32_t CIFSLIB_CreateShare(cifs::share_record *record);
CIFSSIM_EXPORT int32_t CIFSLIB_ChangeShareConfiguration(cifs::share_record *record);
CIFSSIM_EXPORT int32_t CIFSLIB_ChangeShareFeatureConfiguration(cifs::share_record *record);
CIFSSIM_EXPORT int32_t CIFSLIB_RemoveShare(cifs::share_record *record);  // not in the partial build
CIFSSIM_EXPORT int32_t CIFSLIB_ListOpenFiles(void *request_page, void **result_header);
CIFSSIM_EXPORT int32_t CIFSLIB_CloseOpenFile(void *close_record);
CIFSSIM_EXPORT int32_t CIFSLIB_CloseAllOpenFiles(cifs::share_record *record);
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

#define CIFSSIM_PIN_SHAPE(name) static_assert(std::is_same_v<decltype(&name), name##_fn>, #name)
CIFSSIM_PIN_SHAPE(CIFSLIB_GetShareNames);
CIFSSIM_PIN_SHAPE(CIFSLIB_ListAllShares);
CIFSSIM_PIN_SHAPE(CIFSLIB_CreateShare);
CIFSSIM_PIN_SHAPE(CIFSLIB_ChangeShareConfiguration);
CIFSSIM_PIN_SHAPE(CIFSLIB_ChangeShareFeatureConfiguration);
CIFSSIM_PIN_SHAPE(CIFSLIB_RemoveShare);
CIFSSIM_PIN_SHAPE(CIFSLIB_ListOpenFiles);
CIFSSIM_PIN_SHAPE(CIFSLIB_CloseOpenFile);
CIFSSIM_PIN_SHAPE(CIFSLIB_CloseAllOpenFiles);
CIFSSIM_PIN_SHAPE(CIFSLIB_GetConnectionsCount);
CIFSSIM_PIN_SHAPE(CIFSLIB_GetConnectionsList);
CIFSSIM_PIN_SHAPE(CIFSLIB_GetConnectionDetails);
CIFSSIM_PIN_SHAPE(CIFSLIB_GetConnectionMappedShares);
CIFSSIM_PIN_SHAPE(CIFSLIB_ListInvalidUsers);
CIFSSIM_PIN_SHAPE(CIFSLIB_AddPermanentInvalidUser);
CIFSSIM_PIN_SHAPE(CIFSLIB_RemoveInvalidUser);
CIFSSIM_PIN_SHAPE(CIFSLIB_MakePermanentInvalidUser);
CIFSSIM_PIN_SHAPE(CIFSLIB_ListUserContexts);
CIFSSIM_PIN_SHAPE(CIFSLIB_AddUserContext);
CIFSSIM_PIN_SHAPE(CIFSLIB_RemoveUserContext);
#undef CIFSSIM_PIN_SHAPE
