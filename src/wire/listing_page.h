// One page of a shared memory listing (open files, invalid users): the
// result header the library keeps (read where it is, never released) and a
// private copy of the shared memory object it names. The listing's executor
// takes the page on its worker thread right after the library call and
// removes the object at once, so no object outlives the request, not even
// one whose completion never runs (a process that exits). Every step that
// fails is logged under the converter's name, with the listing's own subject.
#pragma once

#include <cstdint>

#include "wire/list_result.h"
#include "base/byte_reader.h"
#include "base/malloc_ptr.h"

namespace cifs {

// What the log lines call the listed things: "Failed to open shared memory
// created for <subject>", "<Title> result cut at ...".
struct list_page_texts {
  const char *subject;
  const char *title;
};
inline constexpr list_page_texts open_files_texts{"open files", "Open files"};
inline constexpr list_page_texts invalid_users_texts{"invalid users", "Invalid users"};

class listing_page {
 public:
  listing_page() = default;

  // Any thread. `header`: the library's result header, read only after a
  // call that returned 0 (null is logged as missing). Copies the object it
  // names and removes the object, on every path but a name without its NUL
  // (never opened nor removed: a cut name could name another object).
  static listing_page take(const uint8_t *header, const char *converter, const list_page_texts &texts);

  // False when there is no header, the object could not be opened or
  // copied, or it is too large; each is logged already but the last, which
  // its executor refuses.
  bool ok() const { return ok_; }
  // The header's size and the object both exceed listing_max_bytes: nothing
  // was copied.
  bool too_large() const { return too_large_; }
  const list_result_header &header() const { return header_; }
  // The converter whose name the page's log lines carry.
  const char *converter() const { return converter_; }
  byte_reader copy() const { return byte_reader(copy_.get(), size_); }

  // Logs a page that holds fewer records than its count: `read` of them.
  void report_read(uint32_t read) const;

 private:
  const char *converter_ = nullptr;
  list_page_texts texts_{};
  list_result_header header_;
  malloc_ptr<uint8_t> copy_;
  size_t size_ = 0;
  bool ok_ = false;
  bool too_large_ = false;
};

}  // namespace cifs
