// Who is calling: the caller's DN from the request, and the supervisor check
// that every executor runs before it touches the management library.
#pragma once

#include <node_api.h>

#include <cstdint>

#include "base/error_codes.h"
#include "request/request_instance.h"

namespace cifs {

// JavaScript thread. Reads "dn" into `caller_dn` (256 bytes). Returns 0, or -1
// with `message` (129 bytes) and `error_code` written.
int get_dn_data(napi_env env, napi_value request, char *caller_dn, char *message, uint32_t *error_code);

// Worker thread. True when the caller may perform the operation; otherwise the
// instance holds the refusal (code, message, id 10).
bool is_user_supervisor(request_instance *instance);

// What the identity library says of a caller: whether it is a supervisor, or
// the code of the failure that ended the lookup (logged where it was found).
struct caller_lookup {
  uint32_t code = 0;           // 0: looked up
  uint32_t is_supervisor = 0;  // as the identity library set it: a supervisor when not 0
};

// Worker thread. Asks the identity library about `dn`.
caller_lookup get_user_info_by_dn(const char *dn);

}  // namespace cifs
