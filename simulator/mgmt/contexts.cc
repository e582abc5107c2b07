// User context calls of the management library.
#include <cstring>

#include "call_log.h"
#include "cifs_sim_status.h"
#include "cifslib_calls.h"

namespace cifssim {
namespace {

// The count and the texts get a block each, as the addon frees each with
// free; the model's list goes out the way a raw result would.
int32_t list_contexts(sim_state &st, uint32_t **count, char **list) {
  constexpr auto call = library_call::CIFSLIB_ListUserContexts;
  if (!count || !list) return CIFSSIM_NULL_ARGUMENT;
  if (auto raw = take_raw_result(st, call)) return hand_out_raw(st, call, *raw, {count, list});
  bytes block;
  for (const auto &c : st.data.contexts) block.insert(block.end(), c.c_str(), c.c_str() + c.size() + 1);
  const auto n = static_cast<uint32_t>(st.data.contexts.size());
  bytes n_bytes(sizeof n);
  std::memcpy(n_bytes.data(), &n, sizeof n);
  return hand_out_raw(st, call, {.outs = {{.kind = out_kind::bytes, .content = n_bytes},
                                          {.kind = out_kind::bytes, .content = block}}},
                      {count, list});
}

}  // namespace
}  // namespace cifssim

using namespace cifssim;

extern "C" int32_t CIFSLIB_ListUserContexts(uint32_t **count, char **list) {
  return run_plain_call(library_call::CIFSLIB_ListUserContexts,
                        [count, list](sim_state &st) { return list_contexts(st, count, list); });
}

extern "C" int32_t CIFSLIB_RemoveUserContext(const char *context) {
  return run_text_call(library_call::CIFSLIB_RemoveUserContext, context, [](sim_state &st, std::string_view text) -> int32_t {
    auto it = find_context(st.data, text);
    if (it == st.data.contexts.end()) return CIFSSIM_NO_SUCH_CONTEXT;
    st.data.contexts.erase(it);
    return CIFSSIM_OK;
  });
}

// Left out of the partial build so tests can see how the addon copes with a missing symbol.
#ifndef CIFSSIM_PARTIAL
extern "C" int32_t CIFSLIB_AddUserContext(const char *context) {
  return run_text_call(library_call::CIFSLIB_AddUserContext, context, [](sim_state &st, std::string_view text) -> int32_t {
    if (text.empty()) return CIFSSIM_EMPTY_CONTEXT;
    if (find_context(st.data, text) != st.data.contexts.end()) return CIFSSIM_CONTEXT_EXISTS;
    st.data.contexts.emplace_back(text);
    return CIFSSIM_OK;
  });
}
#endif
