#include "mgmtclient/open_files_page.h"

#include <sys/mman.h>

#include <cerrno>
#include <cinttypes>

#include "module/log.h"
#include "values/library_buffer.h"

namespace cifs {

namespace {

byte_reader header_bytes(const uint8_t *header) { return {header, library_buffer_size(header)}; }

}  // namespace

open_files_page::open_files_page(const uint8_t *header, const char *converter, const list_page_texts &texts)
    : converter_(converter), texts_(texts) {
  if (result_problem problem = read_list_result_header(header_bytes(header), &header_)) {
    refuse(problem);
    remove_object(header);
    return;
  }
  const char *name = header_.object_name.data();  // NUL-terminated inside the header block
  shm_.emplace(name, header_.object_size);
  switch (shm_->failed_step()) {
    case shm_step::open:
      CIFS_LOG_AS(converter_, LOG_ERR, "Failed to open shared memory created for %s: %s, error: %d", texts_.subject,
                  name, shm_->error());
      return;
    case shm_step::map:
      CIFS_LOG_AS(converter_, LOG_ERR, "Failed to map shared memory created for %s: %s, error: %d", texts_.subject,
                  name, shm_->error());
      if (shm_->error() == EOVERFLOW)
        CIFS_LOG_AS(converter_, LOG_ERR, "The %s result claims %" PRIu64 " bytes, more than %s holds",
                    texts_.subject, header_.object_size, name);
      return;
    case shm_step::none: break;
  }
  ok_ = true;
}

open_files_page::~open_files_page() {
  if (!shm_) return;
  if (int error = shm_->release())
    CIFS_LOG_AS(converter_, LOG_ERR, "Failed to unlink shared memory object created to list %s, error: %d",
                texts_.subject, error);
}

void open_files_page::refuse(const result_problem &problem) const {
  char line[160];
  describe_result_problem(problem, line, sizeof line);
  CIFS_LOG_AS(converter_, LOG_ERR, "Refused the %s result: %s", texts_.subject, line);
}

void open_files_page::remove_object(const uint8_t *header) {
  // NUL-terminated inside the header block, so the view's data names the object.
  if (const auto name = read_list_result_object_name(header_bytes(header)))
    (void)shm_unlink(name->data());  // cleanup: a call that made no object leaves nothing to remove
}

}  // namespace cifs
