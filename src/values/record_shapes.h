// The shapes of the answer's records: for each kind, its keys in answer
// order, which of them a record may leave out, and which take a fixed text
// by its index. One JavaScript builder is compiled from each shape per
// environment (env_cache), so every record of a kind is made in one step
// with the same hidden class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace cifs {

struct record_key {
  const char *name;
  bool optional;  // left out (inside the builder) when its argument is undefined
  bool fixed;     // its argument is the index of a fixed text (answer_texts.h)
  // At least 0: the argument is a bit set m, and the value the array of the
  // fixed texts set_base + i for every bit i of m, in bit order.
  int set_base = -1;
};

enum record_kind : uint8_t {
  r_success_envelope,
  r_failure_envelope,
  r_error_object,
  r_share_full,
  r_share_mapped,
  r_outcome_successful,
  r_outcome_failed,
  r_open_files,
  r_open_file,
  r_connection,           // a connection of the list
  r_connection_details,   // the connection of the details, with its security equivalences
  r_connection_open_files,
  r_connection_open_file,
  r_invalid_users,
  r_invalid_user,
  record_kind_count,
};

inline constexpr size_t record_max_keys = 24;

// Keys of record `kind`, in answer order.
std::span<const record_key> record_keys(record_kind kind);

// JavaScript source of a function expression (t, i, a0, a1, ...) that takes
// one argument per key and returns the record as an object literal, stored
// at t[i] too when t is not undefined. An optional key whose argument is
// undefined is not created at all (never created and deleted). A fixed key's
// value is T[argument], T being the fixed texts in scope of the builder.
std::string record_builder_source(std::span<const record_key> keys);

// JavaScript source of a function expression (t, i, n, ...v) that makes n
// records of `keys` from the values v, one record's values after another,
// and stores them at t[i], t[i + 1], ... : one call for a run of records.
std::string record_run_builder_source(std::span<const record_key> keys);

// JavaScript source of a function expression (t, i, ...v): the values v as
// a new array when t is undefined, else stored into t from index i on.
std::string list_builder_source();

// JavaScript source of the declaration of S(m, b), the array of the fixed
// texts T[b + i] for every bit i of m, which builders with a text set use.
std::string text_set_source();

// JavaScript source of a function expression (s, o, e, k0, v0, k1, v1, ...)
// that makes a whole answer: status T[s], operation T[o], error e unless it
// is undefined, then each value v under the key K[k], in order.
std::string answer_builder_source();

// JavaScript source of a function expression (r, k0, v0, k1, v1, ...) that
// sets each value v on r under the key K[k], K being the key tables (the
// common keys, then the CIFS keys) in scope of the function.
std::string key_setter_source();

}  // namespace cifs
