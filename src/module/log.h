// Module log level and the one logging convention every line follows:
// "TARVO-REST: <function:line> message" on syslog, written only when the
// current level admits the priority. Request data always goes in as an
// argument, never as the format (the format must be a literal).
#pragma once

#include <syslog.h>

#include <atomic>
#include <cstdint>

namespace cifs {

// Syslog priority number; error (3) until native_config_sphere changes it.
// Written on the JavaScript thread, read on every thread without a lock.
extern std::atomic<int32_t> tarvo_rest_log_level;

inline bool log_enabled(int priority) {
  return tarvo_rest_log_level.load(std::memory_order_relaxed) >= priority;
}

}  // namespace cifs

// Logs under an explicit function name: the generic request cycle logs on
// behalf of the sphere or completion it runs for.
#define CIFS_LOG_AS(func, prio, fmt, ...)                                              \
  do {                                                                                 \
    if (::cifs::log_enabled(prio))                                                     \
      ::syslog((prio), "TARVO-REST: <%s:%d> " fmt, (func), __LINE__, ##__VA_ARGS__);   \
  } while (0)

#define LOG_ERROR(fmt, ...) CIFS_LOG_AS(__func__, LOG_ERR, fmt, ##__VA_ARGS__)
#define LOG_INFORMATION(fmt, ...) CIFS_LOG_AS(__func__, LOG_INFO, fmt, ##__VA_ARGS__)
