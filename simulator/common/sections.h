// A simulated library's state as named sections of tagged lines: the state
// file holds every section, and the controls get and set one section at a
// time in the very same text, so a record type is described once, here, for
// both. `State` is the part of a library's state that the sections cover.
#pragma once

#include <algorithm>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "state_file.h"

namespace simstate {

using fields = std::vector<std::string>;

template <class State>
struct line_rule {
  std::string_view tag;
  // Reads the fields of one line (its tag first) into `into`; false refuses it.
  bool (*read)(const fields &line, State &into);
};

template <class State>
struct section_rule {
  std::string_view name;
  std::span<const line_rule<State>> lines;
  void (*save)(const State &from, std::string &out);
  // What neither the state file nor the controls may put in the section.
  bool (*allowed)(const State &given);
  // The controls only: completes the records given (defaults, orders) and
  // refuses what the rest of the state `now` cannot hold; null takes them as they are.
  bool (*adopt)(const State &now, State &given);
  void (*take)(State &from, State &into);
};

template <class State>
using section_table = std::span<const section_rule<State>>;

// Every section's lines, in table order: a state file section.
template <class State>
std::string save_sections(section_table<State> table, const State &from) {
  std::string out;
  for (const auto &s : table) s.save(from, out);
  return out;
}

namespace detail {

template <class State>
const line_rule<State> *rule_for(std::span<const line_rule<State>> lines, std::string_view tag) {
  const auto it = std::ranges::find(lines, tag, &line_rule<State>::tag);
  return it == lines.end() ? nullptr : &*it;
}

template <class State>
bool read_section_lines(std::span<const line_rule<State>> lines, std::string_view text, State &into) {
  return read_lines(text, [&](const fields &f) {
    const auto *rule = rule_for(lines, f[0]);
    return rule && rule->read(f, into);
  });
}

}  // namespace detail

// Loads every section from the lines of a state file into `into`, or
// changes nothing when a line is unreadable or a section not allowed.
template <class State>
bool load_sections(section_table<State> table, std::string_view text, State &into) {
  State given{};
  const bool readable = read_lines(text, [&](const fields &f) {
    return std::ranges::any_of(table, [&](const section_rule<State> &s) {
      const auto *rule = detail::rule_for(s.lines, f[0]);
      return rule && rule->read(f, given);
    });
  });
  if (!readable || !std::ranges::all_of(table, [&](const auto &s) { return s.allowed(given); })) return false;
  for (const auto &s : table) s.take(given, into);
  return true;
}

template <class State>
const section_rule<State> *find_section(section_table<State> table, std::string_view name) {
  const auto it = std::ranges::find(table, name, &section_rule<State>::name);
  return it == table.end() ? nullptr : &*it;
}

// Replaces one section of `state` with `text`, as the controls do: only the
// section's own tags, adopted, then allowed; false changes nothing.
template <class State>
bool set_section(const section_rule<State> &section, std::string_view text, State &state) {
  State given{};
  if (!detail::read_section_lines(section.lines, text, given)) return false;
  if ((section.adopt && !section.adopt(state, given)) || !section.allowed(given)) return false;
  section.take(given, state);
  return true;
}

// The two controls of a library's sections, with its lock: `name`'s lines
// handed to `visit` once the lock is dropped, and `name` replaced by the
// `length` bytes at `lines`. False for an unknown name or refused lines.
template <class State, class Mutex>
bool control_section(section_table<State> table, State &state, Mutex &mutex, const char *name,
                     void (*visit)(void *, const char *), void *ctx) {
  const auto *section = name ? find_section(table, name) : nullptr;
  if (!section || !visit) return false;
  std::string lines;
  {
    std::lock_guard lock(mutex);
    section->save(state, lines);
  }
  visit(ctx, lines.c_str());
  return true;
}

template <class State, class Mutex>
bool control_set_section(section_table<State> table, State &state, Mutex &mutex, const char *name,
                         const char *lines, size_t length) {
  const auto *section = name ? find_section(table, name) : nullptr;
  if (!section || (length && !lines)) return false;
  std::lock_guard lock(mutex);
  return set_section(*section, std::string_view(lines, length), state);
}

}  // namespace simstate
