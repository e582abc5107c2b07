// Call shapes of the CIFS management client library. Every call returns a
// signed 32-bit status, 0 for success.
#pragma once

#include <cstdint>

#include "wire/records.h"

extern "C" {
using CIFSLIB_GetShareNames_fn = int32_t (*)(void *);
using CIFSLIB_ListAllShares_fn = int32_t (*)(void **share_list_block);
using CIFSLIB_CreateShare_fn = int32_t (*)(cifs::share_record *record);
using CIFSLIB_ChangeShareConfiguration_fn = int32_t (*)(cifs::share_record *record);
using CIFSLIB_ChangeShareFeatureConfiguration_fn = int32_t (*)(cifs::share_record *record);
using CIFSLIB_RemoveShare_fn = int32_t (*)(cifs::share_record *record);
using CIFSLIB_ListOpenFiles_fn = int32_t (*)(void *request_page, void **result_header);
using CIFSLIB_CloseOpenFile_fn = int32_t (*)(void *close_record);
using CIFSLIB_CloseAllOpenFiles_fn = int32_t (*)(cifs::share_record *record);
using CIFSLIB_GetConnectionsCount_fn = int32_t (*)(uint32_t *count);
using CIFSLIB_GetConnectionsList_fn = int32_t (*)(void **connection_list_block);
using CIFSLIB_GetConnectionDetails_fn = int32_t (*)(const char *number_text, void *record, char **sev_texts);
using CIFSLIB_GetConnectionMappedShares_fn = int32_t (*)(const char *number_text, void **share_list_block);
using CIFSLIB_ListInvalidUsers_fn = int32_t (*)(void *request_page, void **result_header);
using CIFSLIB_AddPermanentInvalidUser_fn = int32_t (*)(const char *user_name);
using CIFSLIB_RemoveInvalidUser_fn = int32_t (*)(const char *user_name);
using CIFSLIB_MakePermanentInvalidUser_fn = int32_t (*)(const char *user_name);
using CIFSLIB_ListUserContexts_fn = int32_t (*)(uint32_t **count, char **list);
using CIFSLIB_AddUserContext_fn = int32_t (*)(const char *context);
using CIFSLIB_RemoveUserContext_fn = int32_t (*)(const char *context);
}
