// Owner of a POSIX shared memory object that a list call of the management
// library filled and left for the module to read and remove: opened
// read-only, mapped read-only and shared from offset 0 for the size the result
// header gives, then unmapped, closed and unlinked, in that order, on every
// path. The object is unlinked even when it could not be opened or mapped:
// nobody else would remove it. Pure code: no Node-API; the callers keep their
// own log texts and map the failed step onto them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "values/byte_reader.h"
#include "values/malloc_ptr.h"

namespace cifs {

// The step that failed while taking the object.
enum class shm_step : uint8_t { none, open, map };

class shm_result {
 public:
  // Opens `name` (NUL-terminated; copied) and maps `size` bytes of it.
  // - The name cannot be copied, or shm_open fails: an open failure with its
  //   errno; a null name is an open failure with EINVAL and nothing to unlink.
  // - fstat fails, or `size` is larger than the object (EOVERFLOW): a map
  //   failure, so nothing past the object is ever mapped or read.
  // - `size` 0 maps nothing: no failure, an empty view.
  shm_result(const char *name, uint64_t size);
  ~shm_result() { (void)release(); }  // the unlink outcome is only reported to an explicit release()

  shm_result(const shm_result &) = delete;
  shm_result &operator=(const shm_result &) = delete;

  shm_step failed_step() const { return failed_; }
  int error() const { return error_; }  // errno of the failed step, 0 when none failed
  const byte_reader &bytes() const { return bytes_; }  // empty unless mapped

  // Unmaps, closes the descriptor and unlinks the object, each step only as
  // far as taking it got (after a failed open only the unlink). Runs once.
  // Returns 0, or the errno of a failed shm_unlink, on this and every later call.
  int release();

 private:
  malloc_ptr<char> name_;
  int fd_ = -1;
  void *mapping_ = nullptr;
  size_t mapped_size_ = 0;
  byte_reader bytes_;
  shm_step failed_ = shm_step::none;
  int error_ = 0;
  bool released_ = false;
  int unlink_error_ = 0;
};

}  // namespace cifs
