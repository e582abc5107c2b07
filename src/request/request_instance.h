// The per-call record of the three CIFS spheres. Allocated zero-filled by the
// sphere call; owned by the sphere until a work item is queued, then by the
// work item, whose completion frees it (and everything it still owns).
#pragma once

#include <node_api.h>

#include <cstdint>
#include <memory>

#include "wire/connection_records.h"
#include "wire/records.h"
#include "wire/connection_filter_record.h"
#include "wire/listing_page.h"
#include "base/malloc_ptr.h"

namespace cifs {

// One name of a batch operation and its outcome.
struct received_entry {
  uint8_t feature_value;   // share feature switching only
  int32_t status;          // 0 = processed (or not yet); else the library status
  uint32_t feature_flag;   // share feature switching only: the change mask bit
  char *name;              // owned, calloc'd by the reader
  // 0: `name` is the whole text. Otherwise the text is too long for the
  // operation's record and was never copied whole: `name` holds only its
  // first bytes, for log lines, and the answer shows the caller's own
  // string, kept in slot `kept` - 1 of the request's kept strings.
  uint32_t kept;
  received_entry *next;
};

void free_received_entries_list(struct request_instance *instance);

// An error_message holds 128 bytes and the NUL, as every failure text is cut
// to; the room after it serves only the refusals of the module's own that
// are answered whole (record_whole_failure).
inline constexpr size_t error_message_bound = 129;

struct request_instance {
  napi_async_work work;
  napi_deferred deferred;
  napi_value promise;
  uint32_t error_code;
  int32_t operation;  // 0 until looked up; 99 in an error request
  char operation_name[64];
  uint32_t operation_index;  // the operation table row looked up (0 until then); kept by an error request
  char error_message[160];
  char error_tag[129];
  char error_key[64];
  uint32_t error_id;

  // Operation area: each operation uses only its own fields.
  uint32_t connection_count;              // connections: the count (1), the records kept (2)
  malloc_ptr<uint8_t> share_list;         // list block from the library (shares listing, mapped shares)
  malloc_ptr<cifs::share_record> share_record;  // record built by the parser (create, change)
  connection_filters_owner connection_filters;  // connections list: filled by the parser
  uint32_t entries_count;                 // batch outcome list
  uint32_t failed_count;
  received_entry *entries_head;
  received_entry *entries_tail;
  napi_ref kept_strings;                  // the caller's texts of entries too long to copy (an object of ours)
  uint32_t kept_count;
  malloc_ptr<uint8_t> open_files_request;  // page built by the parser (open files of a share or connection)
  malloc_ptr<uint8_t> connection_list;     // connections list block from the library, freed by the executor
  malloc_ptr<connection_record> connection_records;  // copies kept by the executor (list, details)
  malloc_ptr<uint8_t> invalid_users_request;  // page built by the parser (cached invalid users)
  const char *sev_list;                    // security equivalence texts of a connection: the library's, never released
  listing_page listing;                    // a shared memory listing's page, taken by its executor
  malloc_ptr<char> user_name;              // adding one invalid or blocked user
  uint32_t connection_number;
  uint32_t return_count;
  uint32_t ignore_count;                   // counted down by the connections list executor
  malloc_ptr<char> contexts_list;        // user contexts block from the library
  malloc_ptr<uint32_t> contexts_count;   // its count, allocated by the library too

  char caller_dn[256];

  ~request_instance() { free_received_entries_list(this); }
};

// Value-initialised: every field zero, every pointer null, every text empty.
inline request_instance *allocate_request_instance() { return new (std::nothrow) request_instance{}; }

struct request_deleter {
  void operator()(request_instance *p) const noexcept { delete p; }
};
using request_ptr = std::unique_ptr<request_instance, request_deleter>;

}  // namespace cifs
