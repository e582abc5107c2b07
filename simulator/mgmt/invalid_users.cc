// Invalid and blocked user calls of the management library (not modelled yet).

#include "call_log.h"
#include "cifslib_calls.h"

using namespace cifssim;

extern "C" int32_t CIFSLIB_ListInvalidUsers(void *, void **) {
  return run_plain_call("CIFSLIB_ListInvalidUsers", not_implemented);
}

extern "C" int32_t CIFSLIB_AddPermanentInvalidUser(const char *user_name) {
  return run_text_call("CIFSLIB_AddPermanentInvalidUser", user_name, not_implemented);
}

extern "C" int32_t CIFSLIB_RemoveInvalidUser(const char *user_name) {
  return run_text_call("CIFSLIB_RemoveInvalidUser", user_name, not_implemented);
}

extern "C" int32_t CIFSLIB_MakePermanentInvalidUser(const char *user_name) {
  return run_text_call("CIFSLIB_MakePermanentInvalidUser", user_name, not_implemented);
}

