/* Control surface of the simulated identity library, for tests only. Linked
 * directly: the addon under test and the control addon share one instance. */
#ifndef TORALSIM_CONTROL_H
#define TORALSIM_CONTROL_H

#include <stdint.h>

#include "cifssim_export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* How the library treats one DN (or every DN without an entry of its own). */
struct toralsim_identity {
  int32_t user_type;         /* 1: SEV list looked up by UTF-16 name, anything else by SID */
  uint32_t supervisor;       /* non-zero: the SEV calls report a supervisor */
  int32_t userinfo_status;   /* returned by torallib_get_userinfo_from_name */
  int32_t sev_status;        /* returned by torallib_get_sevlist_from_name */
  uint32_t needed_capacity;  /* entries the name lookup needs; a smaller capacity gets -9009 */
  uint32_t always_too_small; /* non-zero: the name lookup answers -9009 every time */
  int32_t sid_status;        /* returned by torallib_get_sevlist_from_sid */
};

/* Called once per logged call, oldest first, while the log is locked. */
typedef void (*toralsim_call_visitor)(void *ctx, const char *call, const char *text, uint32_t capacity);

/* Called for the default entry (dn NULL) first, then once per DN entry in DN order. */
typedef void (*toralsim_identity_visitor)(void *ctx, const char *dn, const struct toralsim_identity *identity);

/* Drops every per-DN entry and the call log; the default entry takes the reset values. */
CIFSSIM_EXPORT void toralsim_reset(void);
/* The reset values of an entry: type 1, supervisor, statuses 0, capacity 0. */
CIFSSIM_EXPORT void toralsim_reset_identity(struct toralsim_identity *out);
/* dn NULL sets the default entry. */
CIFSSIM_EXPORT void toralsim_set_identity(const char *dn, const struct toralsim_identity *identity);
CIFSSIM_EXPORT void toralsim_visit_calls(toralsim_call_visitor visit, void *ctx);
CIFSSIM_EXPORT void toralsim_visit_identities(toralsim_identity_visitor visit, void *ctx);

#ifdef __cplusplus
}
#endif

#endif
