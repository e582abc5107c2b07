/* Control surface of the simulated management library, for tests only. The
 * control addon reaches it through dlsym on the instance the addon opened, so
 * each function also has a pointer type here. Every string handed in is copied;
 * every string handed to a visitor is valid only during that visit. */
#ifndef CIFSSIM_CONTROL_H
#define CIFSSIM_CONTROL_H

#include <stddef.h>
#include <stdint.h>

#include "cifssim_export.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef void (*cifssim_text_visitor)(void *ctx, const char *text);
/* record is NULL for calls that carry no share record. */
typedef void (*cifssim_call_visitor)(void *ctx, const char *call, const char *text, const uint8_t *record,
                                     size_t record_length);

/* Seed model, no call log, no failures, no raw results, no cookies, no delay,
 * the default choices, no shrinking; everything the library kept for what it
 * handed out is released, so no pointer from before stays valid. */
CIFSSIM_EXPORT void cifssim_reset(void);

/* The model, the failure rules and the delay by section, in the lines the
 * state file holds for them ("share\t<name>\t<volume>...\n"): "delay",
 * "volumes", "shares", "contexts", "open-files", "connections",
 * "invalid-users", "failures" and "cookies". cifssim_section hands the
 * section's lines to `visit` once, outside the lock. cifssim_set_section
 * replaces the whole section with `lines` (`length` bytes, no NUL needed):
 * only that section's tags, refused as a state file would be refused, and
 * completed as the section's rules say (open files and invalid users are
 * placed after every one listed before, so no cookie resumes inside the new
 * list). CIFSSIM_BAD_ARGUMENT (and nothing changes) for an unknown section or
 * lines the model cannot hold. */
CIFSSIM_EXPORT int32_t cifssim_section(const char *name, cifssim_text_visitor visit, void *ctx);
CIFSSIM_EXPORT int32_t cifssim_set_section(const char *name, const char *lines, size_t length);

/* The next `times` calls of `call` (0: every call until reset) whose share name
 * or text equals `name` (NULL or "": any) answer `status` without touching the
 * model. CIFSSIM_BAD_ARGUMENT for a call name that is not one of the twenty. */
CIFSSIM_EXPORT int32_t cifssim_fail(const char *call, int32_t status, const char *name, uint32_t times);

/* Where one pointer slot of a raw share list points. */
enum cifssim_slot_kind {
  CIFSSIM_SLOT_NULL = 0,    /* a null pointer */
  CIFSSIM_SLOT_RECORD = 1,  /* the record, copied into the block; it may be empty */
  CIFSSIM_SLOT_OUTSIDE = 2, /* the record, in memory the library keeps (never in the block) until reset */
  CIFSSIM_SLOT_END = 3,     /* the block's end, one past its last byte */
};

struct cifssim_slot {
  int32_t kind;          /* a cifssim_slot_kind */
  const uint8_t *bytes;  /* RECORD and OUTSIDE; may be NULL when length is 0 */
  size_t length;
};

/* Where the records of a raw connection list lie. */
enum cifssim_records_place {
  CIFSSIM_RECORDS_APART = 0,  /* in memory the library keeps; the block is 16 bytes */
  CIFSSIM_RECORDS_INSIDE = 1, /* in the block right after the pointer, at byte 16 */
  CIFSSIM_RECORDS_NULL = 2,   /* nowhere: the block's records pointer is null */
};

/* One out-parameter of a raw result. */
enum cifssim_out_kind {
  CIFSSIM_OUT_NULL = 0,  /* a null pointer; caller memory is left as it is */
  CIFSSIM_OUT_BYTES = 1, /* for an out-parameter the caller frees: a malloc block holding exactly the
                            bytes (its slack is non-NUL); for one the library keeps (the result header
                            of a listing, the security equivalence texts): a copy in kept memory;
                            caller memory gets the bytes copied to its start */
  CIFSSIM_OUT_SLOTS = 2, /* a share list block with `count` in its count field and the slots as
                            pointers (share list calls only). The block has only slot_count slots,
                            so a lying count points past its end; records of kind RECORD follow the
                            slots back to back in slot order, so an empty one points where the next
                            begins, or at the block's end when it is the last. */
  CIFSSIM_OUT_CONNECTION_LIST = 3, /* a connection list block (the connections list only): `count`
                                      in its count field, four non-zero bytes, and a pointer to the
                                      `length` bytes of records placed as `place` says */
};

struct cifssim_out {
  int32_t kind;                      /* a cifssim_out_kind */
  const uint8_t *bytes;              /* BYTES, CONNECTION_LIST; may be NULL when length is 0 */
  size_t length;
  const struct cifssim_slot *slots;  /* SLOTS */
  size_t slot_count;
  uint32_t count;                    /* SLOTS, CONNECTION_LIST */
  int32_t place;                     /* CONNECTION_LIST: a cifssim_records_place */
};

/* What a raw listing creates under a name before its out-parameters. */
enum cifssim_shm_kind {
  CIFSSIM_SHM_OBJECT = 0,    /* a shared memory object holding the bytes */
  CIFSSIM_SHM_FIFO = 1,      /* a FIFO of that name in /dev/shm (the bytes are not used) */
  CIFSSIM_SHM_DIRECTORY = 2, /* a directory of that name in /dev/shm */
};

struct cifssim_shm {
  const char *name;     /* "/<text>" */
  const uint8_t *bytes; /* may be NULL when length is 0 */
  size_t length;
  int32_t kind;         /* a cifssim_shm_kind */
  int64_t size;         /* OBJECT: -1 leaves it as long as the bytes; otherwise it is then cut or
                           grown (sparse) to this many bytes */
};

/* The next call of `call`, whatever its request, answers with hand-made
 * results instead of the model's: first `shm` (when not NULL) is created (a
 * name that exists already makes the call answer CIFSSIM_SHM_FAILURE and
 * write nothing); then out-parameter i of the call gets outs[i]
 * (out-parameters past out_count get null pointers); then `status` is
 * returned, so a failing call can still hand out results, except the two
 * listings: a failing one hands out nothing and leaves its out-parameter as
 * the caller set it. A later raw result for the same call replaces this one.
 * The calls and their out-parameters, in order (who releases them):
 *   CIFSLIB_ListAllShares, CIFSLIB_GetConnectionMappedShares: the share list block (caller)
 *   CIFSLIB_GetConnectionsList: the connection list block (caller)
 *   CIFSLIB_GetConnectionsCount: the caller's u32 count (caller memory, 4 bytes)
 *   CIFSLIB_GetConnectionDetails: the caller's record (caller memory, 418 bytes),
 *     then the security equivalence texts (library)
 *   CIFSLIB_ListOpenFiles, CIFSLIB_ListInvalidUsers: the result header (library); these
 *     two alone take shm
 *   CIFSLIB_ListUserContexts: the count block, then the texts block (caller)
 * CIFSSIM_BAD_ARGUMENT (and nothing is queued) for any other call, more outs
 * than the call has, a kind its out-parameter cannot take, more bytes than
 * caller memory holds, a slot, place or shm kind unknown or without its
 * bytes, a name not of the form "/<text>", or a listing with a non-zero
 * status and any out or shm. Raw results neither use nor clear
 * cifssim_shrink_next_object. */
CIFSSIM_EXPORT int32_t cifssim_raw_result(const char *call, int32_t status, const struct cifssim_out *outs,
                                          size_t out_count, const struct cifssim_shm *shm);

CIFSSIM_EXPORT void cifssim_visit_calls(cifssim_call_visitor visit, void *ctx);

/* Where the library's contract leaves a choice to the library. What the
 * caller releases with free (the share and connection list blocks, the
 * context count and list) is always a malloc block; everything else the
 * library hands out (result headers, security equivalence texts, records
 * outside their list block) is kept by the library in mappings of its own,
 * unchanged until reset or unload; a free() of it aborts the caller. */
struct cifssim_choices {
  /* 0 (default): each listed share record in kept memory of its own;
   * 1: the records in the list block, after the pointers. */
  uint8_t share_records_inside;
  /* 0 (default): the connection list block is 16 bytes (count, four non-zero
   * bytes, pointer) and the records lie back to back in kept memory;
   * 1: the records follow in the block itself, at byte 16. */
  uint8_t connection_records_inside;
  /* Bytes of slack after the records of each listing's shared memory object,
   * beyond the size its header gives, filled with records of a file or user
   * named "slack-beyond-header-size". Default 4096; 0 gives exact objects;
   * at most 64 MiB. */
  uint32_t object_slack;
};

/* CIFSSIM_BAD_ARGUMENT (and nothing changes) for NULL, a flag other than 0 or
 * 1, or too much slack. Reset restores the defaults. */
CIFSSIM_EXPORT int32_t cifssim_set_choices(const struct cifssim_choices *choices);
CIFSSIM_EXPORT void cifssim_get_choices(struct cifssim_choices *out);

/* The next successful CIFSLIB_ListOpenFiles or CIFSLIB_ListInvalidUsers
 * writes its object and header as usual, then cuts the object to `bytes`
 * (ftruncate) before it returns; -1 clears. CIFSSIM_BAD_ARGUMENT below -1. */
CIFSSIM_EXPORT int32_t cifssim_shrink_next_object(int64_t bytes);

typedef void (*cifssim_reset_fn)(void);
typedef int32_t (*cifssim_section_fn)(const char *, cifssim_text_visitor, void *);
typedef int32_t (*cifssim_set_section_fn)(const char *, const char *, size_t);
typedef void (*cifssim_visit_texts_fn)(cifssim_text_visitor, void *);
typedef int32_t (*cifssim_fail_fn)(const char *, int32_t, const char *, uint32_t);
typedef int32_t (*cifssim_raw_result_fn)(const char *, int32_t, const struct cifssim_out *, size_t,
                                         const struct cifssim_shm *);
typedef void (*cifssim_visit_calls_fn)(cifssim_call_visitor, void *);
typedef int32_t (*cifssim_set_choices_fn)(const struct cifssim_choices *);
typedef void (*cifssim_get_choices_fn)(struct cifssim_choices *);
typedef int32_t (*cifssim_shrink_next_object_fn)(int64_t);

/* Every object the library creates is named "/cifssim.<pid>.<serial>". The
 * prefix "/cifssim.<pid>." is written to `out` like snprintf; returns its length.
 * The two controls below see and remove objects, FIFOs and directories alike. */
CIFSSIM_EXPORT size_t cifssim_shm_prefix(char *out, size_t size);
/* Visits the objects with the prefix that exist now (names with the leading
 * slash); reset leaves them, so a test can see what its code left behind. */
CIFSSIM_EXPORT void cifssim_visit_shm_objects(cifssim_text_visitor visit, void *ctx);
/* Unlinks every object with the prefix; returns how many went. */
CIFSSIM_EXPORT uint32_t cifssim_remove_shm_objects(void);

typedef size_t (*cifssim_shm_prefix_fn)(char *, size_t);
typedef uint32_t (*cifssim_remove_shm_objects_fn)(void);

#ifdef __cplusplus
}
#endif

#endif
