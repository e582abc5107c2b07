// The shapes of the answer's records: for each kind, its keys in answer
// order, which of them a record usually leaves out, and which take a fixed
// text by its index. One JavaScript builder is compiled from each shape per
// environment (env_cache), so every record of a kind is made in one step
// with the same hidden class. Every key and fixed text is pasted into that
// source, so each is checked here, at compile time, to need no quoting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string>

#include "values/answer_texts.h"
#include "values/keys.h"

namespace cifs {

struct record_key {
  const char *name;
  // Usually left out (its argument undefined): the builder's fast path makes
  // the record without it. Any key whose value could not be made is left out
  // too, on a slower path.
  bool optional;
  bool fixed;  // its argument is the index of a fixed text (answer_texts.h)
  // At least 0: the argument is a bit set m of set_size bits, and the value
  // the array of the fixed texts set_base + i for every bit i of m, in bit order.
  int set_base = -1;
  int set_size = 0;
};

enum record_kind : uint8_t {
  r_error_object,
  r_share_full,
  r_share_mapped,
  r_outcome_successful,
  r_outcome_failed,
  r_open_files,
  r_open_file,
  r_connection,          // a connection of the list
  r_connection_details,  // the connection of the details, with its security equivalences
  r_connection_open_files,
  r_connection_open_file,
  r_invalid_users,
  r_invalid_user,
  record_kind_count,
};

// What the shape rows below are written with: the key tables and the kinds of key.
struct shape_words {
  static constexpr const char *const *C = comn_keys;
  static constexpr const char *const *F = cifs_keys;
  static constexpr record_key value(const char *name) { return {name, false, false}; }
  static constexpr record_key optional_value(const char *name) { return {name, true, false}; }
  static constexpr record_key text(const char *name) { return {name, false, true}; }
  static constexpr record_key optional_text(const char *name) { return {name, true, true}; }
  static constexpr record_key text_set(const char *name, fixed_text base, int size) {
    return {name, false, false, base, size};
  }
};

// The access right names close the fixed texts (open_files_answer.cc checks it).
inline constexpr int access_right_texts = fixed_text_count - t_access_rd;

// The keys of record kind K; a kind without its shape does not compile.
template <record_kind K>
struct shape;

#define CIFS_SHAPE(kind, ...)                           \
  template <>                                           \
  struct shape<kind> : shape_words {                    \
    static constexpr record_key keys[] = {__VA_ARGS__}; \
    static constexpr size_t size = std::size(keys);     \
  }

CIFS_SHAPE(r_error_object, value(C[k_error_code]), value(C[k_description]), optional_value(C[k_error_id]),
           optional_value(C[k_args]));
CIFS_SHAPE(r_share_full, value(C[k_name]), text(C[k_type]), value(F[ck_comment]), value(C[k_volume_name]),
           value(F[ck_relative_path]), optional_text(C[k_name_space]), value(F[ck_absolute_path]),
           text(F[ck_encryption]), text(F[ck_folder_redirection]), text(F[ck_atm_backup]));
CIFS_SHAPE(r_share_mapped, value(C[k_name]), value(F[ck_absolute_path]), text(F[ck_encryption]),
           text(F[ck_folder_redirection]), text(F[ck_atm_backup]), value(C[k_open_files_count]));
CIFS_SHAPE(r_outcome_successful, value(C[k_name]));
CIFS_SHAPE(r_outcome_failed, value(C[k_error_code]), value(C[k_name]));
CIFS_SHAPE(r_open_files, value(C[k_count]), value(C[k_cookie]), value(C[k_files]));
CIFS_SHAPE(r_open_file, value(F[ck_session_id]), value(F[ck_id]), value(C[k_name]), value(F[ck_full_path]),
           value(C[k_user_name]), value(F[ck_client_ip_address]), text_set(F[ck_access_modes], t_access_rd, access_right_texts),
           text(F[ck_lock_level]), value(C[k_type]));
// A connection's texts are left out when the library left them empty; the
// details form adds the security equivalences.
#define CIFS_CONNECTION_KEYS                                                                                      \
  value(C[k_connection_number]), optional_value(F[ck_connection_type]), optional_value(C[k_user_name]),           \
      optional_value(F[ck_status]), optional_value(F[ck_privileges]), value(F[ck_total_requests]),                \
      value(F[ck_total_bytes_read]), value(F[ck_total_bytes_written]), value(F[ck_login_time]),                   \
      value(F[ck_is_encrypted]), value(F[ck_channels]), value(F[ck_mapped_shares_count]), value(C[k_open_files]), \
      optional_value(F[ck_ip_address])
CIFS_SHAPE(r_connection, CIFS_CONNECTION_KEYS);
CIFS_SHAPE(r_connection_details, CIFS_CONNECTION_KEYS, optional_value(F[ck_security_equivalence]));
#undef CIFS_CONNECTION_KEYS
// The connection, its user and address come once, from the first file.
CIFS_SHAPE(r_connection_open_files, optional_value(C[k_connection_number]), optional_value(C[k_user_name]),
           optional_value(F[ck_client_ip_address]), value(C[k_count]), value(C[k_cookie]), value(C[k_files]));
CIFS_SHAPE(r_connection_open_file, value(F[ck_id]), value(C[k_name]), value(C[k_share_name]), value(F[ck_full_path]),
           text_set(F[ck_access_modes], t_access_rd, access_right_texts), text(F[ck_lock_level]), value(C[k_type]));
CIFS_SHAPE(r_invalid_users, value(C[k_count]), value(C[k_cookie]), value(F[ck_users]));
CIFS_SHAPE(r_invalid_user, value(C[k_name]), text(C[k_type]), value(F[ck_client_ip_address]),
           value(F[ck_last_auth_attempt_time]));
#undef CIFS_SHAPE

inline constexpr size_t record_max_keys = 24;

// What is pasted into the builders' source needs no quoting there: every key
// is a plain word, every fixed text printable ASCII without a quote or a
// backslash.
namespace pasted {
constexpr bool plain_word(const char *text) {
  if (*text == '\0') return false;
  for (; *text; ++text)
    if (!((*text >= 'a' && *text <= 'z') || (*text >= 'A' && *text <= 'Z') || (*text >= '0' && *text <= '9')))
      return false;
  return true;
}
constexpr bool printable_unquoted(const char *text) {
  for (; *text; ++text)
    if (*text < 0x20 || *text > 0x7e || *text == '"' || *text == '\\') return false;
  return true;
}
template <size_t N>
constexpr bool every(const char *const (&texts)[N], bool (*check)(const char *)) {
  for (const char *text : texts)
    if (!check(text)) return false;
  return true;
}
}  // namespace pasted
static_assert(pasted::every(comn_keys, pasted::plain_word), "a request or answer key is not a plain word");
static_assert(pasted::every(cifs_keys, pasted::plain_word), "a request or answer key is not a plain word");
static_assert(pasted::every(fixed_texts, pasted::printable_unquoted), "a fixed text needs quoting");

// Keys of record `kind`, in answer order.
std::span<const record_key> record_keys(record_kind kind);

// The builders' sources below call no method of any built-in, neither when
// they are compiled nor when they run, and reach no accessor on a
// prototype: objects are copies of templates of the builder's own (a spread
// of an object copies its own properties into own data properties, whose
// values are then stored over) or literals, arrays are literals; keys and
// fixed texts are literals or elements of the literal arrays T (fixed
// texts) and K (keys, comn_keys then cifs_keys), and the shared strings
// elements of H (an object without a prototype), all in their scope. No
// iterator, spread of an array or for-of is used (each would consult
// Array.prototype). The one store that is not to a property the object
// owns, of a record or value into an answer array t, is left to callers
// that made sure nothing on the arrays' prototype chain can take it
// (answer_kit::plain_stores).

// JavaScript source of a function expression (t, i, p, a0, a1, ...) that
// takes one argument per key and returns the record as a new object, stored
// at t[i] too when t is not undefined. A key whose argument is undefined is
// not created at all (never created and deleted). A fixed key's value is
// T[argument]; a text set's, a new array of its texts; a value key's whose
// bit k is set in N[p], the shared string H[N[p + 2 + k]], or, with bit k
// set in N[p + 1], the number N[p + 2 + k] (N: the builders' Uint32Array of
// numbers).
std::string record_builder_source(std::span<const record_key> keys);

// JavaScript source of a function expression (t, i, n, p, ...v) that makes
// n records of `keys` from the values v, one record's after another (their
// numbers one record's after another from N[p] on), and stores them at
// t[i], t[i + 1], ... : one call for a run of records.
std::string record_run_builder_source(std::span<const record_key> keys);

// JavaScript source of a function expression (t, i, p, ...v) that stores
// the values v into t from index i on, the shared string H[N[p + k]] where
// v[k] is undefined.
std::string list_builder_source();

// JavaScript source of the declarations of the text set functions the
// shapes use, S<base>(m): a new array of the fixed texts base + i for every
// bit i of m, as an array literal of string literals (a literal of
// constants, so every record's array shares one copy-on-write store).
std::string text_set_source();

// JavaScript source of a function expression (s, o, e, n, k0, v0, ...,
// k<max_keys - 1>, v<max_keys - 1>) that makes a whole answer in one object
// literal: status T[s], operation T[o], error e unless it is undefined, then
// the first n values v under the keys K[k], in order.
std::string answer_builder_source(size_t max_keys);

}  // namespace cifs
