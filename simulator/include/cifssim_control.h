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

struct cifssim_share {
  const char *name;
  const char *volume_name;
  const char *relative_path;
  const char *absolute_path; /* NULL: "/<volume>/<relative path>" */
  const char *comment;       /* NULL: no comment (listed as "") */
  uint16_t type;
  uint32_t name_space;
  uint8_t encryption;
  uint8_t folder_redirection;
  uint8_t atm_backup;
  uint32_t open_files_count;
};

typedef void (*cifssim_share_visitor)(void *ctx, const struct cifssim_share *share);
typedef void (*cifssim_text_visitor)(void *ctx, const char *text);
typedef void (*cifssim_failure_visitor)(void *ctx, const char *call, int32_t status, const char *name,
                                        uint32_t times_left);
/* record is NULL for calls that carry no share record. */
typedef void (*cifssim_call_visitor)(void *ctx, const char *call, const char *text, const uint8_t *record,
                                     size_t record_length);

/* Seed model, no call log, no failures, no raw results, no cookies, no delay,
 * the default choices, no shrinking; everything the library kept for what it
 * handed out is released, so no pointer from before stays valid. */
CIFSSIM_EXPORT void cifssim_reset(void);

/* Setters replace the whole list; they answer CIFSSIM_BAD_ARGUMENT (and change
 * nothing) for a missing or empty name or a name given twice. */
CIFSSIM_EXPORT int32_t cifssim_set_shares(const struct cifssim_share *shares, size_t count);
CIFSSIM_EXPORT void cifssim_visit_shares(cifssim_share_visitor visit, void *ctx);
CIFSSIM_EXPORT int32_t cifssim_set_volumes(const char *const *names, size_t count);
CIFSSIM_EXPORT void cifssim_visit_volumes(cifssim_text_visitor visit, void *ctx);
CIFSSIM_EXPORT int32_t cifssim_set_contexts(const char *const *texts, size_t count);
CIFSSIM_EXPORT void cifssim_visit_contexts(cifssim_text_visitor visit, void *ctx);

/* The next `times` calls of `call` (0: every call until reset) whose share name
 * or text equals `name` (NULL or "": any) answer `status` without touching the
 * model. CIFSSIM_BAD_ARGUMENT for a call name that is not one of the twenty. */
CIFSSIM_EXPORT int32_t cifssim_fail(const char *call, int32_t status, const char *name, uint32_t times);
CIFSSIM_EXPORT void cifssim_visit_failures(cifssim_failure_visitor visit, void *ctx);

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

/* Every CIFSLIB_ call sleeps this long, unlocked, so requests can overlap. */
CIFSSIM_EXPORT void cifssim_set_delay(uint32_t milliseconds);

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
typedef int32_t (*cifssim_set_shares_fn)(const struct cifssim_share *, size_t);
typedef void (*cifssim_visit_shares_fn)(cifssim_share_visitor, void *);
typedef int32_t (*cifssim_set_texts_fn)(const char *const *, size_t);
typedef void (*cifssim_visit_texts_fn)(cifssim_text_visitor, void *);
typedef int32_t (*cifssim_fail_fn)(const char *, int32_t, const char *, uint32_t);
typedef void (*cifssim_visit_failures_fn)(cifssim_failure_visitor, void *);
typedef int32_t (*cifssim_raw_result_fn)(const char *, int32_t, const struct cifssim_out *, size_t,
                                         const struct cifssim_shm *);
typedef void (*cifssim_set_delay_fn)(uint32_t);
typedef void (*cifssim_visit_calls_fn)(cifssim_call_visitor, void *);
typedef int32_t (*cifssim_set_choices_fn)(const struct cifssim_choices *);
typedef void (*cifssim_get_choices_fn)(struct cifssim_choices *);
typedef int32_t (*cifssim_shrink_next_object_fn)(int64_t);

/* Open files. A list request names a share (its files) or a volume (the files
 * of every share on it), or in its connection form a connection (the files
 * whose session id is its number); a close file record closes every open of
 * its path. */
struct cifssim_open_file {
  const char *share_name;     /* required: a share of the model */
  uint32_t session_id;        /* the connection holding the file open */
  uint32_t file_id;
  uint32_t access_mask;
  uint32_t lock_level;
  const char *file_name;      /* required, not empty */
  const char *full_path;      /* NULL: "<share's absolute path>/<file name>" */
  const char *user_name;      /* NULL: "" */
  const char *client_address; /* NULL: "" */
};

typedef void (*cifssim_open_file_visitor)(void *ctx, const struct cifssim_open_file *file);

/* Replaces every open file; listings follow the order given. CIFSSIM_BAD_ARGUMENT
 * (and nothing changes) for a file without a name or on a share the model lacks. */
CIFSSIM_EXPORT int32_t cifssim_set_open_files(const struct cifssim_open_file *files, size_t count);
CIFSSIM_EXPORT void cifssim_visit_open_files(cifssim_open_file_visitor visit, void *ctx);

/* Every object the library creates is named "/cifssim.<pid>.<serial>". The
 * prefix "/cifssim.<pid>." is written to `out` like snprintf; returns its length.
 * The two controls below see and remove objects, FIFOs and directories alike. */
CIFSSIM_EXPORT size_t cifssim_shm_prefix(char *out, size_t size);
/* Visits the objects with the prefix that exist now (names with the leading
 * slash); reset leaves them, so a test can see what its code left behind. */
CIFSSIM_EXPORT void cifssim_visit_shm_objects(cifssim_text_visitor visit, void *ctx);
/* Unlinks every object with the prefix; returns how many went. */
CIFSSIM_EXPORT uint32_t cifssim_remove_shm_objects(void);

typedef int32_t (*cifssim_set_open_files_fn)(const struct cifssim_open_file *, size_t);
typedef void (*cifssim_visit_open_files_fn)(cifssim_open_file_visitor, void *);
typedef size_t (*cifssim_shm_prefix_fn)(char *, size_t);
typedef uint32_t (*cifssim_remove_shm_objects_fn)(void);

/* Client connections. Texts are stored in the record's fixed fields, so each
 * must leave room for its NUL: address 15 bytes, user name 255, type 19,
 * status and privileges 31. */
struct cifssim_connection {
  uint16_t number;
  const char *user_name;       /* NULL: "" (so for every text) */
  const char *client_address;
  const char *connection_type;
  const char *status;
  const char *privileges;
  int32_t channels;
  uint8_t encrypted;
  uint32_t total_requests;
  uint64_t total_bytes_read;
  uint64_t total_bytes_written;
  uint64_t login_time;
  const char *const *security_equivalences; /* handed out by the details call, in order */
  size_t security_equivalence_count;
  const char *const *mapped_shares;         /* names of shares of the model */
  size_t mapped_share_count;
  /* Read back only: derived from the model, ignored when set. The open files
   * are the model's open files whose session id is the number; the mapped
   * shares are those of the list that the model still has. */
  uint32_t open_files_count;
  uint16_t mapped_shares_count;
};

typedef void (*cifssim_connection_visitor)(void *ctx, const struct cifssim_connection *connection);

/* Replaces every connection; the list and count calls follow the order given.
 * CIFSSIM_BAD_ARGUMENT (and nothing changes) for a number given twice, a text
 * over its field, a null text in a list, a mapped share the model lacks or
 * one named twice. */
CIFSSIM_EXPORT int32_t cifssim_set_connections(const struct cifssim_connection *connections, size_t count);
CIFSSIM_EXPORT void cifssim_visit_connections(cifssim_connection_visitor visit, void *ctx);

/* The invalid users cache. State 2 is a user cached after failed logins;
 * any other state is a blocked user, which is what the library makes of a
 * user it makes permanent (state 1). */
struct cifssim_invalid_user {
  const char *name;           /* required: 1 to 255 bytes */
  uint32_t state;
  const char *client_address; /* NULL: ""; at most 15 bytes */
  int64_t last_attempt_time;
};

typedef void (*cifssim_invalid_user_visitor)(void *ctx, const struct cifssim_invalid_user *user);

/* Replaces the cache; listings follow the order given. CIFSSIM_BAD_ARGUMENT
 * (and nothing changes) for a name missing, empty, too long or given twice
 * (ignoring ASCII case), or an address over its field. */
CIFSSIM_EXPORT int32_t cifssim_set_invalid_users(const struct cifssim_invalid_user *users, size_t count);
CIFSSIM_EXPORT void cifssim_visit_invalid_users(cifssim_invalid_user_visitor visit, void *ctx);

typedef int32_t (*cifssim_set_connections_fn)(const struct cifssim_connection *, size_t);
typedef void (*cifssim_visit_connections_fn)(cifssim_connection_visitor, void *);
typedef int32_t (*cifssim_set_invalid_users_fn)(const struct cifssim_invalid_user *, size_t);
typedef void (*cifssim_visit_invalid_users_fn)(cifssim_invalid_user_visitor, void *);

#ifdef __cplusplus
}
#endif

#endif
