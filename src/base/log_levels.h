// The log levels native_config_sphere accepts (case ignored), from the most
// to the least verbose: the one list of them.
#pragma once

#include <syslog.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cifs {

struct level_name {
  const char *text;
  int32_t level;  // syslog priority
};

inline constexpr level_name level_names[] = {
    {"debug", LOG_DEBUG}, {"info", LOG_INFO}, {"warn", LOG_WARNING}, {"error", LOG_ERR}};
inline constexpr size_t longest_level_name = [] {
  size_t longest = 0;
  for (const level_name &name : level_names) longest = std::max(longest, std::string_view(name.text).size());
  return longest;
}();

}  // namespace cifs
