/* Control surface of the simulated identity library, for tests only. Linked
 * directly: the addon under test and the control addon share one instance. */
#ifndef TORALSIM_CONTROL_H
#define TORALSIM_CONTROL_H

#include <stddef.h>
#include <stdint.h>

#include "cifssim_export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Called once per logged call, oldest first, while the log is locked. */
typedef void (*toralsim_call_visitor)(void *ctx, const char *call, const char *text, uint32_t capacity);
typedef void (*toralsim_text_visitor)(void *ctx, const char *text);

/* The seed entries again ("cn=admin,o=example" a supervisor,
 * "cn=guest,o=example" not one, every other DN unknown to the user info
 * call), and an empty call log. */
CIFSSIM_EXPORT void toralsim_reset(void);
CIFSSIM_EXPORT void toralsim_visit_calls(toralsim_call_visitor visit, void *ctx);

/* How the library treats each DN, as the state file's lines for the section
 * "identities": "default\t<fields>\n" for every DN without an entry of its
 * own, then "dn\t<dn>\t<fields>\n" per DN, the fields being the user type
 * (1: SEV list looked up by UTF-16 name, anything else by SID), supervisor
 * (0 or 1), the statuses of the user info and the SEV-by-name calls, the
 * entries the name lookup needs (a smaller capacity gets -9009), whether it
 * answers -9009 every time (0 or 1), and the status of the SEV-by-SID call.
 * Get and set as the management library's cifssim_section and
 * cifssim_set_section; TORALSIM_BAD_ARGUMENT for an unknown section or lines
 * the library cannot hold. */
CIFSSIM_EXPORT int32_t toralsim_section(const char *name, toralsim_text_visitor visit, void *ctx);
CIFSSIM_EXPORT int32_t toralsim_set_section(const char *name, const char *lines, size_t length);

#ifdef __cplusplus
}
#endif

#endif
