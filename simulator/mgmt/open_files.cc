// Open file calls of the management library (not modelled yet).

#include "call_log.h"
#include "cifslib_calls.h"

using namespace cifssim;

extern "C" int32_t CIFSLIB_ListOpenFiles(void *, void **) {
  return run_plain_call("CIFSLIB_ListOpenFiles", not_implemented);
}

extern "C" int32_t CIFSLIB_CloseOpenFile(void *) {
  return run_plain_call("CIFSLIB_CloseOpenFile", not_implemented);
}

extern "C" int32_t CIFSLIB_CloseAllOpenFiles(cifs::share_record *record) {
  return run_record_call("CIFSLIB_CloseAllOpenFiles", record, not_implemented);
}

