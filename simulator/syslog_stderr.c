/* LD_PRELOAD shim for development runs (bin/cifs-sim-run): every syslog line
 * of the process is also written to standard error as "syslog <priority>:
 * <message>", then passed on to the system's syslog. The module itself only
 * logs to syslog; this makes its lines visible without a syslog daemon. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdarg.h>
#include <stdio.h>
#include <syslog.h>
#include <unistd.h>

#define EXPORT __attribute__((visibility("default")))

static const char *const priority_names[] = {"emerg", "alert", "crit", "err", "warning", "notice", "info", "debug"};

static void mirror(int priority, const char *format, va_list args) {
  char line[4096];
  int used = snprintf(line, sizeof line, "syslog %s: ", priority_names[priority & LOG_PRIMASK]);
  va_list copy;
  va_copy(copy, args);
  int n = vsnprintf(line + used, sizeof line - (size_t)used - 1, format, copy);
  va_end(copy);
  if (n < 0) return;
  size_t length = (size_t)used + (size_t)n;
  if (length > sizeof line - 2) length = sizeof line - 2;
  line[length++] = '\n';
  /* One write per line, so lines of several threads never interleave. */
  ssize_t written = write(STDERR_FILENO, line, length);
  (void)written; /* nowhere to report a failing standard error */

  void (*real)(int, const char *, va_list) = (void (*)(int, const char *, va_list))dlsym(RTLD_NEXT, "vsyslog");
  if (real) real(priority, format, args);
}

EXPORT void vsyslog(int priority, const char *format, va_list args) { mirror(priority, format, args); }

EXPORT void syslog(int priority, const char *format, ...) {
  va_list args;
  va_start(args, format);
  mirror(priority, format, args);
  va_end(args);
}

EXPORT void __syslog_chk(int priority, int flag, const char *format, ...) {
  (void)flag;
  va_list args;
  va_start(args, format);
  mirror(priority, format, args);
  va_end(args);
}

EXPORT void __vsyslog_chk(int priority, int flag, const char *format, va_list args) {
  (void)flag;
  mirror(priority, format, args);
}
