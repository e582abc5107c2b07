// Test-only control of the one-shot raw results of the list calls.
#include <mutex>
#include <type_traits>

#include "cifs_sim_status.h"
#include "cifssim_control.h"
#include "raw_result.h"
#include "state.h"

using namespace cifssim;

namespace {

std::optional<raw_slot> slot_from(const cifssim_slot &in) {
  if (in.length && !in.bytes) return std::nullopt;
  raw_slot out;
  switch (in.kind) {
    case CIFSSIM_SLOT_NULL: out.kind = slot_kind::null; break;
    case CIFSSIM_SLOT_RECORD: out.kind = slot_kind::record; break;
    case CIFSSIM_SLOT_OUTSIDE: out.kind = slot_kind::outside; break;
    case CIFSSIM_SLOT_END: out.kind = slot_kind::end; break;
    default: return std::nullopt;
  }
  if (in.length) out.record.assign(in.bytes, in.bytes + in.length);
  return out;
}

std::optional<raw_out> out_from(const cifssim_out &in) {
  raw_out out;
  switch (in.kind) {
    case CIFSSIM_OUT_NULL: return out;
    case CIFSSIM_OUT_BYTES:
      if (in.length && !in.bytes) return std::nullopt;
      out.kind = out_kind::bytes;
      if (in.length) out.content.assign(in.bytes, in.bytes + in.length);
      return out;
    case CIFSSIM_OUT_SLOTS:
      if (in.slot_count && !in.slots) return std::nullopt;
      out.kind = out_kind::share_list;
      out.count = in.count;
      for (size_t i = 0; i < in.slot_count; ++i) {
        auto slot = slot_from(in.slots[i]);
        if (!slot) return std::nullopt;
        out.slots.push_back(std::move(*slot));
      }
      return out;
    default: return std::nullopt;
  }
}

}  // namespace

extern "C" CIFSSIM_EXPORT int32_t cifssim_raw_result(const char *call, int32_t status, const cifssim_out *outs,
                                                    size_t out_count, const char *shm_name, const uint8_t *shm,
                                                    size_t shm_length) {
  if (!call || (out_count && !outs) || (shm_length && !shm)) return CIFSSIM_BAD_ARGUMENT;
  raw_result raw{.status = status};
  for (size_t i = 0; i < out_count; ++i) {
    auto out = out_from(outs[i]);
    if (!out) return CIFSSIM_BAD_ARGUMENT;
    raw.outs.push_back(std::move(*out));
  }
  if (shm_name) {
    raw.shm_name = shm_name;
    if (shm_length) raw.shm_bytes.assign(shm, shm + shm_length);
  }
  if (const int32_t refused = check_raw_result(call, raw)) return refused;
  std::lock_guard lock(state().mutex);
  state().raw_results.insert_or_assign(call, std::move(raw));
  return CIFSSIM_OK;
}

static_assert(std::is_same_v<decltype(&cifssim_raw_result), cifssim_raw_result_fn>);
