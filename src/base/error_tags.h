// The error tag table: error id -> stable tag delivered as "errorID".
#pragma once

#include <array>
#include <cstdint>

namespace cifs {

struct error_tag_row {
  int32_t id;
  const char *tag;
  const char *message;
};

inline constexpr int errorTagMap_rows = 468;
extern const std::array<error_tag_row, errorTagMap_rows> errorTagMap;

// The tag of id `id`, or null. A direct index: only a row that sits at its own
// position is found. The text belongs to the table.
const char *get_err_tag_from_index(int32_t id);

}  // namespace cifs
