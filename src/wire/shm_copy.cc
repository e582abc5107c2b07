#include "wire/shm_copy.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace cifs {

namespace {

struct descriptor {
  int fd;
  ~descriptor() {
    if (fd >= 0) (void)close(fd);  // read-only: nothing a failed close could lose
  }
};

shm_copy failed(shm_step step, int error) {
  shm_copy out;
  out.failed = step;
  out.error = error;
  return out;
}

}  // namespace

shm_copy copy_shm_object(const char *name, uint64_t size, uint64_t limit) {
  // O_NONBLOCK: a FIFO planted under the name opens at once instead of
  // waiting for a writer, and is then refused as no regular file.
  const descriptor object{shm_open(name, O_RDONLY | O_NONBLOCK, 0)};
  if (object.fd < 0) return failed(shm_step::open, errno);
  struct stat status;
  if (fstat(object.fd, &status) != 0) return failed(shm_step::map, errno);
  if (!S_ISREG(status.st_mode)) return failed(shm_step::map, ENODEV);
  if (size == 0) return failed(shm_step::map, EINVAL);

  const uint64_t held = status.st_size > 0 ? static_cast<uint64_t>(status.st_size) : 0;
  const uint64_t wanted = std::min(size, held);
  shm_copy out;
  if (wanted > limit) {
    out.too_large = true;
    return out;
  }
  if (wanted == 0) return out;
  out.bytes.reset(static_cast<uint8_t *>(std::malloc(static_cast<size_t>(wanted))));
  if (!out.bytes) return failed(shm_step::map, ENOMEM);
  while (out.size < wanted) {
    const ssize_t got = pread(object.fd, out.bytes.get() + out.size, static_cast<size_t>(wanted) - out.size,
                              static_cast<off_t>(out.size));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return failed(shm_step::map, errno);
    if (got == 0) break;  // shrunk since fstat: the copy holds what was there
    out.size += static_cast<size_t>(got);
  }
  return out;
}

int unlink_shm_object(const char *name) { return shm_unlink(name) == 0 ? 0 : errno; }

}  // namespace cifs
