// One page of a shared memory listing (open files, invalid users) as the
// converters take it: the result header the library handed back (malloc'd,
// read no further than its block) and the shared memory object it names,
// opened and mapped read-only, and unmapped, closed and unlinked when the
// page goes. Every step that fails is logged under the converter's name,
// with the listing's own subject; the header itself stays the caller's to
// free.
#pragma once

#include <cstdint>
#include <optional>

#include "mgmtclient/list_result.h"
#include "mgmtclient/open_files_result.h"
#include "mgmtclient/shm_result.h"

namespace cifs {

// What the log lines call the listed things: "Failed to open shared memory
// created for <subject>", "Refused the <subject> result: ...".
struct list_page_texts {
  const char *subject;
};
inline constexpr list_page_texts open_files_texts{"open files"};
inline constexpr list_page_texts invalid_users_texts{"invalid users"};

class open_files_page {
 public:
  // `header`: the library's result header (null reads as a header too short).
  open_files_page(const uint8_t *header, const char *converter, const list_page_texts &texts = open_files_texts);
  ~open_files_page();
  open_files_page(const open_files_page &) = delete;
  open_files_page &operator=(const open_files_page &) = delete;

  // False when the header could not be read or the object could not be
  // opened or mapped; the failure is logged already.
  bool ok() const { return ok_; }
  const list_result_header &header() const { return header_; }
  // The step that failed while taking the object and its errno.
  shm_step failed_step() const { return shm_ ? shm_->failed_step() : shm_step::none; }
  int error() const { return shm_ ? shm_->error() : 0; }

  // The page's files; only when ok().
  open_files_cursor files(open_files_form form) const { return {object(), header_.count, form}; }
  // The mapped object, for the records of other listings; only when ok().
  const byte_reader &object() const { return shm_->bytes(); }

  // Logs why the result was refused ("Refused the <subject> result: ...").
  void refuse(const result_problem &problem) const;

  // For a failing call that still handed back a header, or a header refused
  // for another field: removes the object it names, which has no other
  // owner, without opening it.
  static void remove_object(const uint8_t *header);

 private:
  const char *converter_;
  list_page_texts texts_;
  list_result_header header_{};
  std::optional<shm_result> shm_;
  bool ok_ = false;
};

}  // namespace cifs
