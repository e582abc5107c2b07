// A sphere's operations written once: one row per operation (its number, its
// name, its description, its three functions), from which the compiler makes
// the two tables the request cycle reads, the operation table and the
// parallel table of descriptions, and checks every number against its row.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "module/sphere.h"

namespace cifs {

struct operation_entry {
  int32_t number;          // the request's "operation": must be the row's place, counting from 1
  fixed_text name;         // the answer's "operation"
  const char *fetching;    // the description in the cycle's log lines; null: the name stands for it
  parser_fn parser;        // as in operation_row
  napi_async_execute_callback executor;
  answer_step answer;
};

// A row whose number is not its place stops the compilation here.
template <size_t count>
consteval void check_operation_numbers(const operation_entry (&entries)[count]) {
  for (size_t i = 0; i < count; ++i)
    if (entries[i].number != static_cast<int32_t>(i + 1)) throw "an operation's number must be its row's place, from 1";
}

// The operation table: row 0 empty, row n the operation numbered n.
template <size_t count>
consteval std::array<operation_row, count + 1> operation_rows(const operation_entry (&entries)[count]) {
  check_operation_numbers(entries);
  std::array<operation_row, count + 1> rows{};
  rows[0] = {t_empty, nullptr, nullptr, envelope_only};
  for (size_t i = 0; i < count; ++i)
    rows[i + 1] = {entries[i].name, entries[i].parser, entries[i].executor, entries[i].answer};
  return rows;
}

// The descriptions, parallel to the operation table (row 0 null).
template <size_t count>
consteval std::array<const char *, count + 1> operation_descriptions(const operation_entry (&entries)[count]) {
  check_operation_numbers(entries);
  std::array<const char *, count + 1> texts{};
  for (size_t i = 0; i < count; ++i) texts[i + 1] = entries[i].fetching;
  return texts;
}

}  // namespace cifs
