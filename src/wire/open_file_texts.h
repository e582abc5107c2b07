// The texts an open file is shown with: its lock level name, its type (the
// name's extension) and the names of its access rights. Pure code: no
// Node-API, so the answer builders can cache these texts once per environment.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cifs {

// Lock level names by level; the library knows no level above 10, and any
// such level is shown with the last entry.
inline constexpr std::array<std::string_view, 12> lock_level_names = {
    "batch", "excl", "LII", "R", "RH", "RW", "RWH", "LNone", "none", "dummy", "lease", "unknown"};

constexpr size_t lock_level_index(uint32_t level) {
  return level < lock_level_names.size() - 1 ? level : lock_level_names.size() - 1;
}

constexpr std::string_view lock_level_name(uint32_t level) { return lock_level_names[lock_level_index(level)]; }

// The text after the last dot of a file name; empty when the name has no dot
// or its last dot is its first character (a hidden file such as ".profile").
constexpr std::string_view file_type(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return {};
  return name.substr(dot + 1);
}

struct access_right {
  uint32_t bit;
  std::string_view name;
};

// The access mask bits an open file shows, in the order they are listed;
// other bits are not shown.
inline constexpr access_right access_rights_supported[] = {
    {0x00000001, "RD"}, {0x00000002, "WR"}, {0x00000004, "DR"},
    {0x00000008, "DW"}, {0x20000000, "DA"}, {0x40000000, "DD"},
};

}  // namespace cifs
