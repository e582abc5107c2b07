#include "raw_result.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "cifs_sim_status.h"
#include "malloc_block.h"
#include "state.h"
#include "wire_layout.h"

namespace cifssim {
namespace {

enum class out_shape : uint8_t {
  malloc_block,           // a pointer out-parameter the caller frees
  share_list_block,       // the same, holding a share list block that slots may build
  connection_list_block,  // the same, holding a connection list block
  kept,                   // a pointer out-parameter to memory the library keeps
  caller_memory,          // memory the caller passed in, of `size` bytes
};

struct out_param {
  out_shape shape;
  size_t size = 0;
};

constexpr size_t max_outs = 2;

struct raw_call {
  library_call call;
  out_param outs[max_outs];
  size_t out_count;
  bool is_listing;  // names a shared memory object, and hands out nothing when it fails
};

constexpr out_param block{out_shape::malloc_block};
constexpr out_param share_list{out_shape::share_list_block};
constexpr out_param connection_list{out_shape::connection_list_block};
constexpr out_param kept{out_shape::kept};

constexpr raw_call raw_calls[] = {
    {library_call::CIFSLIB_ListAllShares, {share_list}, 1, false},
    {library_call::CIFSLIB_GetConnectionMappedShares, {share_list}, 1, false},
    {library_call::CIFSLIB_GetConnectionsList, {connection_list}, 1, false},
    {library_call::CIFSLIB_GetConnectionsCount, {{out_shape::caller_memory, sizeof(uint32_t)}}, 1, false},
    {library_call::CIFSLIB_GetConnectionDetails,
     {{out_shape::caller_memory, wire::connection::record_size}, kept}, 2, false},
    {library_call::CIFSLIB_ListOpenFiles, {kept}, 1, true},
    {library_call::CIFSLIB_ListInvalidUsers, {kept}, 1, true},
    {library_call::CIFSLIB_ListUserContexts, {block, block}, 2, false},
};

const raw_call *find_call(library_call call) {
  const auto it = std::ranges::find(raw_calls, call, &raw_call::call);
  return it == std::end(raw_calls) ? nullptr : &*it;
}

bool fits(const out_param &param, const raw_out &out) {
  switch (out.kind) {
    case out_kind::null: return true;
    case out_kind::bytes: return param.shape != out_shape::caller_memory || out.content.size() <= param.size;
    case out_kind::share_list: return param.shape == out_shape::share_list_block;
    case out_kind::connection_list: return param.shape == out_shape::connection_list_block;
  }
  return false;
}

bool usable_object_name(std::string_view name) {
  return name.size() >= 2 && name.front() == '/' && name.find('/', 1) == std::string_view::npos;
}

// What one pointer out-parameter gets; null when memory runs out. Pieces kept
// before a later failure stay kept until reset, which is harmless.
void *build_out(sim_state &st, const out_param &param, const raw_out &out) {
  switch (out.kind) {
    case out_kind::null: return nullptr;
    case out_kind::share_list: return build_raw_share_list(out.slots, out.count, st.kept);
    case out_kind::connection_list:
      return build_raw_connection_list(out.content, out.count, out.place, st.kept);
    case out_kind::bytes: return param.shape == out_shape::kept ? st.kept.copy(out.content) : malloc_copy(out.content);
  }
  return nullptr;
}

bool caller_frees(const out_param &param) {
  return param.shape != out_shape::kept && param.shape != out_shape::caller_memory;
}

const raw_out no_out{};

}  // namespace

int32_t check_raw_result(library_call call, const raw_result &raw) {
  const raw_call *row = find_call(call);
  if (!row || raw.outs.size() > row->out_count) return CIFSSIM_BAD_ARGUMENT;
  for (size_t i = 0; i < raw.outs.size(); ++i)
    if (!fits(row->outs[i], raw.outs[i])) return CIFSSIM_BAD_ARGUMENT;
  if (raw.shm && (!row->is_listing || !usable_object_name(raw.shm->name))) return CIFSSIM_BAD_ARGUMENT;
  if (row->is_listing && raw.status != 0 && (!raw.outs.empty() || raw.shm)) return CIFSSIM_BAD_ARGUMENT;
  return CIFSSIM_OK;
}

std::optional<raw_result> take_raw_result(sim_state &st, library_call call) {
  const auto it = st.raw_results.find(call);
  if (it == st.raw_results.end()) return std::nullopt;
  raw_result raw = std::move(it->second);
  st.raw_results.erase(it);
  return raw;
}

int32_t hand_out_raw(sim_state &st, library_call call, const raw_result &raw,
                     std::initializer_list<void *> destinations) {
  const raw_call *row = find_call(call);
  if (!row || destinations.size() != row->out_count) return CIFSSIM_NOT_IMPLEMENTED;  // a call site built wrong
  // A failing listing leaves its out-parameter as the caller set it.
  if (row->is_listing && raw.status != 0) return raw.status;
  if (raw.shm)
    if (const int32_t status = publish_raw_entry(raw.shm->name, raw.shm->kind, raw.shm->bytes, raw.shm->size))
      return status;

  auto out_at = [&raw](size_t i) -> const raw_out & { return i < raw.outs.size() ? raw.outs[i] : no_out; };
  void *blocks[max_outs] = {};
  for (size_t i = 0; i < row->out_count; ++i) {
    const raw_out &out = out_at(i);
    if (row->outs[i].shape == out_shape::caller_memory || out.kind == out_kind::null) continue;
    blocks[i] = build_out(st, row->outs[i], out);
    if (!blocks[i]) {
      for (size_t j = 0; j < i; ++j)
        if (caller_frees(row->outs[j])) std::free(blocks[j]);
      if (raw.shm) (void)remove_entry(raw.shm->name);  // cleanup: out of memory is the answer
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
