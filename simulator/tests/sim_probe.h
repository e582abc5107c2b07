// Reads back what the simulated libraries hand out and log, for assertions.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "cifssim_control.h"
#include "mgmt/cifslib_calls.h"
#include "mgmt/share_record_codec.h"
#include "mgmtclient/records.h"

namespace simtest {

struct listed_share {
  std::string name{}, volume{}, comment{}, relative_path{}, absolute_path{};
  cifs::share_record header{};
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
    auto captured = cifssim::capture_record(record, cifssim::parsed_strings_limit);
    auto view = cifssim::record_view::parse(captured);
    cifs::share_record h;
    std::memcpy(&h, captured.data(), sizeof h);
    auto text = [&](uint32_t at) { return std::string(view->text_at(at).text); };
    out.push_back({text(h.name_offset), text(h.volume_name_offset), text(h.comment_offset),
                   text(h.relative_path_offset), text(h.absolute_path_offset), h});
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

// Out-parameters of a raw result.
inline cifssim_out null_out() { return {CIFSSIM_OUT_NULL, nullptr, 0, nullptr, 0, 0, 0}; }
inline cifssim_out bytes_out(const std::vector<uint8_t> &bytes) {
  return {CIFSSIM_OUT_BYTES, bytes.data(), bytes.size(), nullptr, 0, 0, 0};
}
template <size_t N>
cifssim_out slots_out(const cifssim_slot (&slots)[N], uint32_t count = N) {
  return {CIFSSIM_OUT_SLOTS, nullptr, 0, slots, N, count, 0};
}

// Queues a raw result for `call` without a shared memory object.
inline int32_t raw_result(const char *call, int32_t status, std::initializer_list<cifssim_out> outs) {
  return cifssim_raw_result(call, status, outs.begin(), outs.size(), nullptr);
}

struct logged {
  std::string call, text;
  bool has_record;
  std::vector<uint8_t> record;
};

inline std::vector<logged> mgmt_calls() {
  std::vector<logged> out;
  cifssim_visit_calls(
      [](void *ctx, const char *call, const char *text, const uint8_t *record, size_t length) {
        static_cast<std::vector<logged> *>(ctx)->push_back(
            {call, text, record != nullptr, record ? std::vector<uint8_t>(record, record + length) : std::vector<uint8_t>{}});
      },
      &out);
  return out;
}

}  // namespace simtest
