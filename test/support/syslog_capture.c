/* Test-only LD_PRELOAD shim: captures the process's syslog lines into
 * $CIFS_SYSLOG_DIR/syslog.<pid>.log as "<priority>|<message>" so the suites
 * can check what the addon logged. Without the variable, lines go to syslog. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <syslog.h>
#include <unistd.h>

#define EXPORT __attribute__((visibility("default")))

static void capture(int priority, const char *format, va_list args) {
  const char *dir = getenv("CIFS_SYSLOG_DIR");
  if (dir == NULL) {
    void (*real)(int, const char *, va_list) = (void (*)(int, const char *, va_list))dlsym(RTLD_NEXT, "vsyslog");
    if (real) real(priority, format, args);
    return;
  }
  char line[4096];
  int used = snprintf(line, sizeof line, "%d|", priority & LOG_PRIMASK);
  int n = vsnprintf(line + used, sizeof line - (size_t)used - 1, format, args);
  if (n < 0) return;
  size_t length = (size_t)used + (size_t)n;
  if (length > sizeof line - 2) length = sizeof line - 2;
  line[length++] = '\n';
  char path[4096];
  snprintf(path, sizeof path, "%s/syslog.%ld.log", dir, (long)getpid());
  int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return;
  /* One write per line: lines from several threads never interleave. */
  ssize_t written = write(fd, line, length);
  (void)written;
  close(fd);
}

EXPORT void vsyslog(int priority, const char *format, va_list args) { capture(priority, format, args); }

EXPORT void syslog(int priority, const char *format, ...) {
  va_list args;
  va_start(args, format);
  capture(priority, format, args);
  va_end(args);
}

EXPORT void __syslog_chk(int priority, int flag, const char *format, ...) {
  (void)flag;
  va_list args;
  va_start(args, format);
  capture(priority, format, args);
  va_end(args);
}

EXPORT void __vsyslog_chk(int priority, int flag, const char *format, va_list args) {
  (void)flag;
  capture(priority, format, args);
}
