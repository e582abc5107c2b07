// Pieces of the open files answers that the open files of a share and of a
// connection share (JavaScript thread only).
#pragma once

#include <node_api.h>

#include <array>
#include <cstdint>
#include <string_view>

#include "wire/open_files_result.h"
#include "request/request_instance.h"
#include "values/answer_texts.h"
#include "values/env_cache.h"
#include "values/record_shapes.h"

namespace cifs {

// The lock level's fixed text; every level above the last named one shows
// as "unknown".
fixed_text lock_level_text(uint32_t level);

// The access rights of `access_mask` as bits in table order (bit i: row i
// of the access rights table): the file builder turns them into the
// accessModes array of the rights' names (other bits are not shown).
uint32_t access_rights_bits(uint32_t access_mask);

// How one listing shows its open files: the records' form, the answer's and
// the file's record kinds, and the fields of each file (in its shape's
// order). With `connection_keys` the answer opens with the connection
// number, user name and client address of the first file (none when there
// are no files).
template <record_kind Answer, record_kind File>
struct open_files_answer_form {
  using file_fields = std::array<field, shape<File>::size>;
  open_files_form form;
  file_fields (*fields_of)(const answer_kit &kit, const open_file_view &file);
  bool connection_keys;
};

// Sets openFiles on the answer from the page its executor took (whose object
// is removed already). A page that could not be read was logged then, and
// leaves openFiles out; the failures here are logged under the converter
// the page names.
template <record_kind Answer, record_kind File>
void convert_open_files_page(napi_env env, request_instance *instance, const answer_kit &kit,
                             const open_files_answer_form<Answer, File> &form);

}  // namespace cifs
