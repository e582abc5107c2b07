// Pieces of the open files answers that the open files of a share and of a
// connection share (JavaScript thread only).
#pragma once

#include <node_api.h>

#include <cstdint>
#include <string_view>

#include "module/request_instance.h"
#include "values/answer_texts.h"

namespace cifs {

class answer_kit;
struct field;

// The lock level's fixed text; every level above the last named one shows
// as "unknown".
fixed_text lock_level_text(uint32_t level);

// The access rights of `access_mask` as bits in table order (bit i: row i
// of the access rights table), for the file builder's accessModes.
uint32_t access_rights_bits(uint32_t access_mask);

// Makes the accessModes array of one file: the names of the access rights
// whose bits are set in `access_mask`, in table order (other bits are not
// shown), into `*modes`, for the file's record. Returns napi_ok, or the
// failing status after logging it with the file's name and recording it in
// error_code and error_message.
napi_status add_access_rights_info_to_object(napi_env env, const answer_kit &kit, request_instance *instance,
                                             std::string_view file_name, uint32_t access_mask, napi_value *modes);

// The accessModes field of one file's record: the rights' bits, which the
// file's builder turns into the array; without the builders, the array made
// here by add_access_rights_info_to_object. False when that fails (logged
// and recorded there).
bool access_modes_field(napi_env env, const answer_kit &kit, request_instance *instance, std::string_view file_name,
                        uint32_t access_mask, field *modes);

}  // namespace cifs
