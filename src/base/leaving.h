// Whether the process is leaving: set when the main thread's process.exit
// (or its natural end) begins, read by every executor before it calls a
// library. process.exit runs the work still queued in the thread pool before
// the process ends, and no cleanup hook runs first; from this flag on, that
// work makes no library call.
#pragma once

#include <atomic>

namespace cifs {

inline std::atomic<bool> process_leaving{false};

inline bool leaving() { return process_leaving.load(std::memory_order_acquire); }

}  // namespace cifs
