#include "mgmtclient/shm_result.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace cifs {

shm_result::shm_result(const char *name, uint64_t size) {
  if (name == nullptr) {
    failed_ = shm_step::open;
    error_ = EINVAL;
    released_ = true;  // no name, no object to remove
    return;
  }
  name_.reset(strdup(name));
  if (!name_) {
    failed_ = shm_step::open;
    error_ = errno;
    // The copy that release() would unlink by is missing: remove the object now.
    released_ = true;
    unlink_error_ = shm_unlink(name) == 0 ? 0 : errno;
    return;
  }
  fd_ = shm_open(name_.get(), O_RDONLY, 0);
  if (fd_ < 0) {
    failed_ = shm_step::open;
    error_ = errno;
    return;
  }
  struct stat status;
  if (fstat(fd_, &status) != 0) {
    failed_ = shm_step::map;
    error_ = errno;
    return;
  }
  // Bytes of a mapping beyond the object's end cannot be read (SIGBUS), so a
  // header claiming more than the object holds is refused outright.
  if (status.st_size < 0 || size > static_cast<uint64_t>(status.st_size)) {
    failed_ = shm_step::map;
    error_ = EOVERFLOW;
    return;
  }
  if (size == 0) return;  // mmap refuses a length of 0; an empty result needs no mapping
  // Every record is read once, front to back: the pages are mapped in at
  // once rather than taken one fault at a time.
  void *mapping = mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_SHARED | MAP_POPULATE, fd_, 0);
  if (mapping == MAP_FAILED) {
    failed_ = shm_step::map;
    error_ = errno;
    return;
  }
  mapping_ = mapping;
  mapped_size_ = static_cast<size_t>(size);
  bytes_ = byte_reader(mapping_, mapped_size_);
}

int shm_result::release() {
  if (released_) return unlink_error_;
  released_ = true;
  bytes_ = byte_reader();
  if (mapping_ != nullptr) (void)munmap(mapping_, mapped_size_);  // cleanup: nothing to do about a failure
  mapping_ = nullptr;
  if (fd_ >= 0) (void)close(fd_);  // cleanup, as above
  fd_ = -1;
  unlink_error_ = shm_unlink(name_.get()) == 0 ? 0 : errno;
  return unlink_error_;
}

}  // namespace cifs
