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

/* Seed model, no call log, no failures, no raw results, no delay. */
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
  CIFSSIM_SLOT_OUTSIDE = 2, /* the record, kept by the simulator outside the block until reset */
  CIFSSIM_SLOT_END = 3,     /* the block's end, one past its last byte */
};

struct cifssim_slot {
  int32_t kind;          /* a cifssim_slot_kind */
  const uint8_t *bytes;  /* RECORD and OUTSIDE; may be NULL when length is 0 */
  size_t length;
};

/* One-shot results, used by the next listing call only. The raw share list has
 * `count` in its count field but only slot_count pointer slots, so a lying
 * count points past the block's end. Records of kind RECORD follow the slots
 * back to back in slot order, so an empty one points where the next begins,
 * or at the block's end when it is the last. */
CIFSSIM_EXPORT void cifssim_raw_share_list_null(void);
CIFSSIM_EXPORT int32_t cifssim_raw_share_list(const struct cifssim_slot *slots, size_t slot_count, uint32_t count);
/* count or block NULL: that out-parameter is set to a null pointer. */
CIFSSIM_EXPORT int32_t cifssim_raw_contexts(const uint32_t *count, const uint8_t *block, size_t block_length);

/* Every CIFSLIB_ call sleeps this long, unlocked, so requests can overlap. */
CIFSSIM_EXPORT void cifssim_set_delay(uint32_t milliseconds);

CIFSSIM_EXPORT void cifssim_visit_calls(cifssim_call_visitor visit, void *ctx);

typedef void (*cifssim_reset_fn)(void);
typedef int32_t (*cifssim_set_shares_fn)(const struct cifssim_share *, size_t);
typedef void (*cifssim_visit_shares_fn)(cifssim_share_visitor, void *);
typedef int32_t (*cifssim_set_texts_fn)(const char *const *, size_t);
typedef void (*cifssim_visit_texts_fn)(cifssim_text_visitor, void *);
typedef int32_t (*cifssim_fail_fn)(const char *, int32_t, const char *, uint32_t);
typedef void (*cifssim_visit_failures_fn)(cifssim_failure_visitor, void *);
typedef void (*cifssim_raw_share_list_null_fn)(void);
typedef int32_t (*cifssim_raw_share_list_fn)(const struct cifssim_slot *, size_t, uint32_t);
typedef int32_t (*cifssim_raw_contexts_fn)(const uint32_t *, const uint8_t *, size_t);
typedef void (*cifssim_set_delay_fn)(uint32_t);
typedef void (*cifssim_visit_calls_fn)(cifssim_call_visitor, void *);

/* Open files. A list request names a share (its files) or a volume (the files
 * of every share on it); a close file record closes every open of its path. */
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

/* One-shot answer of the next CIFSLIB_ListOpenFiles, whatever its request:
 * when shm_name is not NULL, an object of that name holding exactly the
 * shm_length bytes of shm is created first (an existing name makes the call
 * answer CIFSSIM_SHM_FAILURE); then header (NULL: the out-parameter is set to
 * a null pointer) is handed out as given, in a malloc block whose slack is
 * non-NUL; then `status` is returned, so a failing call can still hand out a
 * header. CIFSSIM_BAD_ARGUMENT for a name not of the form "/<text>". */
CIFSSIM_EXPORT int32_t cifssim_raw_open_files(int32_t status, const uint8_t *header, size_t header_length,
                                              const char *shm_name, const uint8_t *shm, size_t shm_length);

/* Every object the library creates is named "/cifssim.<pid>.<serial>". The
 * prefix "/cifssim.<pid>." is written to `out` like snprintf; returns its length. */
CIFSSIM_EXPORT size_t cifssim_shm_prefix(char *out, size_t size);
/* Visits the objects with the prefix that exist now (names with the leading
 * slash); reset leaves them, so a test can see what its code left behind. */
CIFSSIM_EXPORT void cifssim_visit_shm_objects(cifssim_text_visitor visit, void *ctx);
/* Unlinks every object with the prefix; returns how many went. */
CIFSSIM_EXPORT uint32_t cifssim_remove_shm_objects(void);

typedef int32_t (*cifssim_set_open_files_fn)(const struct cifssim_open_file *, size_t);
typedef void (*cifssim_visit_open_files_fn)(cifssim_open_file_visitor, void *);
typedef int32_t (*cifssim_raw_open_files_fn)(int32_t, const uint8_t *, size_t, const char *, const uint8_t *, size_t);
typedef size_t (*cifssim_shm_prefix_fn)(char *, size_t);
typedef uint32_t (*cifssim_remove_shm_objects_fn)(void);

#ifdef __cplusplus
}
#endif

#endif
