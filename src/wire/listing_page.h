// One page of a shared memory listing (open files, invalid users) as the
// converters take it: the result header the library keeps (read where it is,
// never released) and a private copy of the shared memory object it names,
// which is removed when the page goes. Every step that fails is logged under
// the converter's name, with the listing's own subject.
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
  // `header`: the library's result header, read only after a call that
  // returned 0 (null is logged as missing). The copy of the object goes into
  // `copy_owner`, which the request instance holds.
  listing_page(const uint8_t *header, malloc_ptr<uint8_t> &copy_owner, const char *converter,
               const list_page_texts &texts);
  ~listing_page();  // removes the object, when the header named one
  listing_page(const listing_page &) = delete;
  listing_page &operator=(const listing_page &) = delete;

  // False when there is no header, or the object could not be opened or
  // copied; the failure is logged already.
  bool ok() const { return ok_; }
  const list_result_header &header() const { return header_; }
  const byte_reader &copy() const { return copy_; }

  // Logs a page that holds fewer records than its count: `read` of them.
  void report_read(uint32_t read) const;

 private:
  const char *converter_;
  list_page_texts texts_;
  list_result_header header_;
  byte_reader copy_;
  bool ok_ = false;
};

}  // namespace cifs
