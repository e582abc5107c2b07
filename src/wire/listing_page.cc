#include "wire/listing_page.h"

#include <cerrno>

#include "wire/library_limits.h"
#include "wire/shm_copy.h"
#include "base/log.h"

namespace cifs {

listing_page listing_page::take(const uint8_t *header, const char *converter, const list_page_texts &texts) {
  listing_page page;
  page.converter_ = converter;
  page.texts_ = texts;
  if (header == nullptr) {
    CIFS_LOG_AS(converter, LOG_ERR, "The %s result has no result header", texts.subject);
    return page;
  }
  page.header_ = read_list_result_header(header);
  if (page.header_.cookie_cut)
    CIFS_LOG_AS(converter, LOG_ERR, "The %s result's cookie has no NUL within %zu bytes and is cut there",
                texts.subject, result_cookie_max);
  if (!page.header_.object_name) {
    CIFS_LOG_AS(converter, LOG_ERR, "Failed to open shared memory created for %s: %s, error: %d", texts.subject,
                "(a name without a NUL within 256 bytes)", EINVAL);
    return page;
  }
  const char *name = page.header_.object_name->data();  // NUL-terminated where the library keeps it
  shm_copy taken = copy_shm_object(name, page.header_.object_size, listing_max_bytes);
  switch (taken.failed) {
    case shm_step::open:
      CIFS_LOG_AS(converter, LOG_ERR, "Failed to open shared memory created for %s: %s, error: %d", texts.subject,
                  name, taken.error);
      break;
    case shm_step::map:
      CIFS_LOG_AS(converter, LOG_ERR, "Failed to map shared memory created for %s: %s, error: %d", texts.subject,
                  name, taken.error);
      break;
    case shm_step::none:
      page.too_large_ = taken.too_large;
      page.ok_ = !taken.too_large;
      page.copy_ = std::move(taken.bytes);
      page.size_ = taken.size;
      break;
  }
  if (int error = unlink_shm_object(name))
    CIFS_LOG_AS(converter, LOG_ERR, "Failed to unlink shared memory object created to list %s, error: %d",
                texts.subject, error);
  return page;
}

void listing_page::report_read(uint32_t read) const {
  if (read < header_.count)
    CIFS_LOG_AS(converter_, LOG_ERR, "%s result cut at %u of %u records", texts_.title, read, header_.count);
}

}  // namespace cifs
