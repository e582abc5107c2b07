// Connection calls of the management library (not modelled yet).

#include "call_log.h"
#include "cifslib_calls.h"

using namespace cifssim;

extern "C" int32_t CIFSLIB_GetConnectionsCount(uint32_t *) {
  return run_plain_call("CIFSLIB_GetConnectionsCount", not_implemented);
}

extern "C" int32_t CIFSLIB_GetConnectionsList(void **) {
  return run_plain_call("CIFSLIB_GetConnectionsList", not_implemented);
}

extern "C" int32_t CIFSLIB_GetConnectionDetails(const char *number_text, void *, char **) {
  return run_text_call("CIFSLIB_GetConnectionDetails", number_text, not_implemented);
}

extern "C" int32_t CIFSLIB_GetConnectionMappedShares(const char *number_text, void **) {
  return run_text_call("CIFSLIB_GetConnectionMappedShares", number_text, not_implemented);
}

