// Pieces of the open files answers that the open files of a share and of a
// connection share (JavaScript thread only).
#pragma once

#include <node_api.h>

#include <cstdint>
#include <string_view>

#include "mgmtclient/open_files_result.h"
#include "module/request_instance.h"
#include "values/answer_texts.h"
#include "values/record_shapes.h"

namespace cifs {

class answer_kit;
class record_run;
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

// Makes file `index`'s record into `files`; false (logged) when it cannot.
using open_file_adder = bool (*)(napi_env env, const answer_kit &kit, request_instance *instance,
                                 const open_file_view &file, record_run &files, uint32_t index);

// How one listing shows its open files: the records' form, the answer's
// record kind and the maker of each file. With `connection_keys` the answer
// opens with the connection number, user name and client address of the
// first file (none when there are no files).
struct open_files_answer_form {
  open_files_form form;
  record_kind answer_kind;
  record_kind file_kind;
  open_file_adder add_file;
  bool connection_keys;
};

// Sets openFiles on `result` from the page whose library header is
// `header`; the page's shared memory object is removed on every path. A
// page that cannot be read in full is logged under `converter` and leaves
// openFiles out.
void convert_open_files_page(napi_env env, request_instance *instance, napi_value result, const answer_kit &kit,
                             const uint8_t *header, const char *converter, const open_files_answer_form &form);

// The completion step of an open files listing, whose converter is
// `convert`. The result header stays the library's; the request page and the
// copy of the object are released on every path.
template <void (*convert)(napi_env, request_instance *, napi_value, const answer_kit &)>
void complete_open_files_listing(napi_env env, request_instance &instance, napi_value result, const answer_kit &kit) {
  if (instance.error_code == 0) convert(env, &instance, result, kit);
  instance.open_files_request.reset();
  instance.listing_copy.reset();
}

}  // namespace cifs
