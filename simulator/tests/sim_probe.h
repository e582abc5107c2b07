// Reads back what the simulated libraries hand out and log, for assertions.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cifssim_control.h"
#include "mgmt/cifslib_calls.h"
#include "mgmt/share_record_codec.h"

namespace simtest {

struct listed_share {
  std::string name;
};

// Walks a share list block as the addon should; null slots come back as "<null>".
inline std::vector<listed_share> read_share_list(const void *block) {
  const auto *bytes = static_cast<const uint8_t *>(block);
  uint32_t count = 0;
  std::memcpy(&count, bytes, sizeof count);
  std::vector<listed_share> out;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t *record = nullptr;
    std::memcpy(&record, bytes + 4 + 8 * size_t{i}, sizeof record);
    if (!record) {
      out.push_back({.name = "<null>"});
      continue;
    }
    auto captured = cifssim::capture_record(reinterpret_cast<const cifs::share_record *>(record),
                                            cifssim::parsed_strings_limit);
    auto view = cifssim::record_view::parse(captured);
    out.push_back({std::string(view->text_at(view->header().name_offset).text)});
  }
  return out;
}

// Lists the shares through the library and releases the block as the addon does.
inline std::vector<listed_share> list_shares() {
  void *block = nullptr;
  if (CIFSLIB_ListAllShares(&block) != 0) return {};
  auto out = read_share_list(block);
  std::free(block);
  return out;
}

struct logged {
  std::string call, text;
};

inline std::vector<logged> mgmt_calls() {
  std::vector<logged> out;
  cifssim_visit_calls(
      [](void *ctx, const char *call, const char *text, const uint8_t *, size_t) {
        static_cast<std::vector<logged> *>(ctx)->push_back({call, text});
      },
      &out);
  return out;
}

}  // namespace simtest
