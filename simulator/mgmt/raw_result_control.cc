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
    case CIFSSIM_OUT_CONNECTION_LIST:
      if (in.length && !in.bytes) return std::nullopt;
      out.kind = out_kind::connection_list;
      out.count = in.count;
      switch (in.place) {
        case CIFSSIM_RECORDS_APART: out.place = records_place::apart; break;
        case CIFSSIM_RECORDS_INSIDE: out.place = records_place::inside; break;
        case CIFSSIM_RECORDS_NULL: out.place = records_place::null; break;
        default: return std::nullopt;
      }
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

std::optional<raw_shm> shm_from(const cifssim_shm &in) {
  if (!in.name || (in.length && !in.bytes) || in.size < -1) return std::nullopt;
  raw_shm out{.name = in.name};
  switch (in.kind) {
    case CIFSSIM_SHM_OBJECT: out.kind = shm_kind::object; break;
    case CIFSSIM_SHM_FIFO: out.kind = shm_kind::fifo; break;
    case CIFSSIM_SHM_DIRECTORY: out.kind = shm_kind::directory; break;
    default: return std::nullopt;
  }
  if (in.size >= 0) out.size = static_cast<uint64_t>(in.size);
  if (in.length) out.bytes.assign(in.bytes, in.bytes + in.length);
  return out;
}

}  // namespace

extern "C" CIFSSIM_EXPORT int32_t cifssim_raw_result(const char *call, int32_t status, const cifssim_out *outs,
                                                    size_t out_count, const cifssim_shm *shm) {
  const auto called = call ? library_call_named(call) : std::nullopt;
  if (!called || (out_count && !outs)) return CIFSSIM_BAD_ARGUMENT;
  raw_result raw{.status = status};
  for (size_t i = 0; i < out_count; ++i) {
    auto out = out_from(outs[i]);
    if (!out) return CIFSSIM_BAD_ARGUMENT;
    raw.outs.push_back(std::move(*out));
  }
  if (shm) {
    raw.shm = shm_from(*shm);
    if (!raw.shm) return CIFSSIM_BAD_ARGUMENT;
  }
  if (const int32_t refused = check_raw_result(*called, raw)) return refused;
  std::lock_guard lock(state().mutex);
  state().raw_results.insert_or_assign(*called, std::move(raw));
  return CIFSSIM_OK;
}

static_assert(std::is_same_v<decltype(&cifssim_raw_result), cifssim_raw_result_fn>);
