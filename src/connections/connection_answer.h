// One connection record as an answer object, for the connections list and
// for the details of one connection (JavaScript thread only).
#pragma once

#include <node_api.h>

#include <cstdint>

#include "request/request_instance.h"
#include "values/env_cache.h"

namespace cifs {

enum class connection_form : uint8_t { list, details };

// Builds the object of record `index` of connection_records and hands it to
// `list`, which stores it at `index` of its array (list form), or of the
// single record with its security equivalences, set as `connection` on
// the answer (details form: index -1, no list). Returns 0, or all bits set
// after recording and logging the failure.
uint32_t cc_convert_connection_info_to_json(napi_env env, request_instance *instance, int64_t index,
                                            record_run<r_connection> *list, connection_form form,
                                            const answer_kit &kit);

}  // namespace cifs
