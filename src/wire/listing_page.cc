#include "wire/listing_page.h"

#include <cerrno>
#include <cinttypes>
#include <cstring>

#include "wire/library_limits.h"
#include "wire/shm_copy.h"
#include "base/log.h"

namespace cifs {

listing_page::listing_page(const uint8_t *header, malloc_ptr<uint8_t> &copy_owner, const char *converter,
                           const list_page_texts &texts)
    : converter_(converter), texts_(texts) {
  if (header == nullptr) {
    CIFS_LOG_AS(converter_, LOG_ERR, "The %s result has no result header", texts_.subject);
    return;
  }
  header_ = read_list_result_header(header);
  if (header_.cookie_cut)
    CIFS_LOG_AS(converter_, LOG_ERR, "The %s result's cookie has no NUL within %zu bytes and is cut there",
                texts_.subject, result_cookie_max);
  if (!header_.object_name) {
    // Never opened nor removed: a name cut at its bound could name another object.
    CIFS_LOG_AS(converter_, LOG_ERR, "Failed to open shared memory created for %s: %s, error: %d", texts_.subject,
                "(a name without a NUL within 256 bytes)", EINVAL);
    return;
  }
  const char *name = header_.object_name->data();  // NUL-terminated where the library keeps it
  shm_copy taken = copy_shm_object(name, header_.object_size, listing_max_bytes);
  switch (taken.failed) {
    case shm_step::open:
      CIFS_LOG_AS(converter_, LOG_ERR, "Failed to open shared memory created for %s: %s, error: %d", texts_.subject,
                  name, taken.error);
      return;
    case shm_step::map:
      CIFS_LOG_AS(converter_, LOG_ERR, "Failed to map shared memory created for %s: %s, error: %d", texts_.subject,
                  name, taken.error);
      return;
    case shm_step::none: break;
  }
  if (taken.cut_at_limit)
    CIFS_LOG_AS(converter_, LOG_ERR, "%s result of %" PRIu64 " bytes read to its first %" PRIu64 " bytes",
                texts_.title, header_.object_size, listing_max_bytes);
  copy_ = byte_reader(taken.bytes.get(), taken.size);
  copy_owner = std::move(taken.bytes);
  ok_ = true;
}

listing_page::~listing_page() {
  if (!header_.object_name) return;
  if (int error = unlink_shm_object(header_.object_name->data()))
    CIFS_LOG_AS(converter_, LOG_ERR, "Failed to unlink shared memory object created to list %s, error: %d",
                texts_.subject, error);
}

void listing_page::report_read(uint32_t read) const {
  if (read < header_.count)
    CIFS_LOG_AS(converter_, LOG_ERR, "%s result cut at %u of %u records", texts_.title, read, header_.count);
}

}  // namespace cifs
