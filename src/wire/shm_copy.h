// Taking the records of a shared memory listing out of the POSIX shared memory
// object the management library filled: opened read-only without blocking,
// and copied into a private buffer, never mapped. A mapping of an object that
// another process shrinks kills the reader with SIGBUS, a FIFO would block the
// open for ever, and a header size of gigabytes would be faulted in whole; a
// bounded copy of a regular file has none of these. Pure code: no Node-API;
// the callers keep their own log texts and map the failed step onto them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/malloc_ptr.h"

namespace cifs {

// The step that failed while taking the object: opening it, or taking its
// bytes (the step a mapping would be).
enum class shm_step : uint8_t { none, open, map };

struct shm_copy {
  shm_step failed = shm_step::none;
  int error = 0;                // errno of the failed step
  malloc_ptr<uint8_t> bytes;    // the copy; null when empty, failed or too large
  size_t size = 0;
  bool too_large = false;       // `size` and the object both exceed `limit`: nothing copied
};

// Copies the first min(`size`, the object's size) bytes of the object
// `name`, when that is at most `limit`; otherwise copies nothing and says the
// object is too large (a page cut at the limit would lose records in
// silence). Failures of the byte step: fstat's or read's errno, ENODEV for an
// object that is not a regular file, EINVAL for a `size` of 0 (which a
// mapping would refuse too), ENOMEM for the buffer. An object shorter than
// `size`, also one cut short while it is read, gives what it holds.
shm_copy copy_shm_object(const char *name, uint64_t size, uint64_t limit);

// Removes the object; 0, or the errno of shm_unlink.
int unlink_shm_object(const char *name);

}  // namespace cifs
