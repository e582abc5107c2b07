#include "raw_result.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

#include "cifs_sim_status.h"
#include "malloc_block.h"
#include "shm_objects.h"
#include "state.h"
#include "wire_layout.h"

namespace cifssim {
namespace {

enum class out_shape : uint8_t {
  malloc_block,      // a pointer out-parameter the caller frees
  share_list_block,  // the same, holding a share list block that slots may build
  caller_memory,     // memory the caller passed in, of `size` bytes
};

struct out_param {
  out_shape shape;
  size_t size = 0;
};

constexpr size_t max_outs = 2;

struct raw_call {
  std::string_view name;
  out_param outs[max_outs];
  size_t out_count;
  bool hands_out_object;  // the result names a shared memory object
};

constexpr out_param block{out_shape::malloc_block};
constexpr out_param share_list{out_shape::share_list_block};

constexpr raw_call raw_calls[] = {
    {"CIFSLIB_ListAllShares", {share_list}, 1, false},
    {"CIFSLIB_GetConnectionMappedShares", {share_list}, 1, false},
    {"CIFSLIB_GetConnectionsList", {block}, 1, false},
    {"CIFSLIB_GetConnectionsCount", {{out_shape::caller_memory, sizeof(uint32_t)}}, 1, false},
    {"CIFSLIB_GetConnectionDetails", {{out_shape::caller_memory, wire::connection::record_size}, block}, 2, false},
    {"CIFSLIB_ListOpenFiles", {block}, 1, true},
    {"CIFSLIB_ListInvalidUsers", {block}, 1, true},
    {"CIFSLIB_ListUserContexts", {block, block}, 2, false},
};

const raw_call *find_call(std::string_view call) {
  const auto it = std::ranges::find(raw_calls, call, &raw_call::name);
  return it == std::end(raw_calls) ? nullptr : &*it;
}

bool fits(const out_param &param, const raw_out &out) {
  switch (out.kind) {
    case out_kind::null: return true;
    case out_kind::bytes: return param.shape != out_shape::caller_memory || out.content.size() <= param.size;
    case out_kind::share_list: return param.shape == out_shape::share_list_block;
  }
  return false;
}

bool usable_object_name(std::string_view name) {
  return name.size() >= 2 && name.front() == '/' && name.find('/', 1) == std::string_view::npos;
}

const raw_out no_out{};

}  // namespace

int32_t check_raw_result(std::string_view call, const raw_result &raw) {
  const raw_call *row = find_call(call);
  if (!row || raw.outs.size() > row->out_count) return CIFSSIM_BAD_ARGUMENT;
  for (size_t i = 0; i < raw.outs.size(); ++i)
    if (!fits(row->outs[i], raw.outs[i])) return CIFSSIM_BAD_ARGUMENT;
  if (raw.shm_name && (!row->hands_out_object || !usable_object_name(*raw.shm_name))) return CIFSSIM_BAD_ARGUMENT;
  return CIFSSIM_OK;
}

std::optional<raw_result> take_raw_result(sim_state &st, std::string_view call) {
  const auto it = st.raw_results.find(call);
  if (it == st.raw_results.end()) return std::nullopt;
  raw_result raw = std::move(it->second);
  st.raw_results.erase(it);
  return raw;
}

int32_t hand_out_raw(sim_state &st, std::string_view call, const raw_result &raw,
                     std::initializer_list<void *> destinations) {
  const raw_call *row = find_call(call);
  if (!row || destinations.size() != row->out_count) return CIFSSIM_NOT_IMPLEMENTED;  // a call site built wrong
  if (raw.shm_name)
    if (const int32_t status = publish_object(*raw.shm_name, raw.shm_bytes)) return status;

  auto out_at = [&raw](size_t i) -> const raw_out & { return i < raw.outs.size() ? raw.outs[i] : no_out; };
  void *blocks[max_outs] = {};
  for (size_t i = 0; i < row->out_count; ++i) {
    const raw_out &out = out_at(i);
    if (row->outs[i].shape == out_shape::caller_memory || out.kind == out_kind::null) continue;
    blocks[i] = out.kind == out_kind::share_list ? build_raw_share_list(out.slots, out.count, st.kept)
                                                 : malloc_copy(out.content);
    if (!blocks[i]) {
      for (void *b : blocks) std::free(b);
      if (raw.shm_name) (void)shm_unlink(raw.shm_name->c_str());  // cleanup: out of memory is the answer
      return CIFSSIM_OUT_OF_MEMORY;
    }
  }
  const auto *destination = destinations.begin();
  for (size_t i = 0; i < row->out_count; ++i) {
    const raw_out &out = out_at(i);
    if (row->outs[i].shape != out_shape::caller_memory) {
      // Through memcpy: the destination is a pointer of whatever type the call takes.
      std::memcpy(destination[i], &blocks[i], sizeof blocks[i]);
    } else if (out.kind == out_kind::bytes && !out.content.empty()) {
      std::memcpy(destination[i], out.content.data(), out.content.size());
    }
  }
  return raw.status;
}

}  // namespace cifssim
