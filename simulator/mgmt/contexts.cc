// User context calls of the management library.
#include <cstdlib>
#include <cstring>
#include <utility>

#include "call_log.h"
#include "cifs_sim_status.h"
#include "cifslib_calls.h"
#include "malloc_block.h"

namespace cifssim {
namespace {

uint32_t *malloc_count(uint32_t count) {
  auto *p = static_cast<uint32_t *>(std::malloc(sizeof count));
  if (p) *p = count;
  return p;
}

// A copy of the texts in a fresh malloc block, its slack filled (malloc_block).
char *malloc_texts(const bytes &texts) {
  auto *p = static_cast<char *>(malloc_block(texts.size()));
  if (p && !texts.empty()) std::memcpy(p, texts.data(), texts.size());
  return p;
}

// The count and the texts get a block each because the addon frees each with
// free; a raw result may ask for either to be null.
int32_t hand_out(uint32_t **count, char **list, std::optional<uint32_t> n, const bytes *block) {
  uint32_t *count_copy = n ? malloc_count(*n) : nullptr;
  char *block_copy = block ? malloc_texts(*block) : nullptr;
  if ((n && !count_copy) || (block && !block_copy)) {
    std::free(count_copy);
    std::free(block_copy);
    return CIFSSIM_OUT_OF_MEMORY;
  }
  *count = count_copy;
  *list = block_copy;
  return CIFSSIM_OK;
}

int32_t list_contexts(sim_state &st, uint32_t **count, char **list) {
  if (!count || !list) return CIFSSIM_NULL_ARGUMENT;
  if (auto raw = std::exchange(st.next_contexts, std::nullopt))
    return hand_out(count, list, raw->count, raw->block ? &*raw->block : nullptr);
  bytes block;
  for (const auto &c : st.data.contexts) block.insert(block.end(), c.c_str(), c.c_str() + c.size() + 1);
  return hand_out(count, list, static_cast<uint32_t>(st.data.contexts.size()), &block);
}

}  // namespace
}  // namespace cifssim

using namespace cifssim;

extern "C" int32_t CIFSLIB_ListUserContexts(uint32_t **count, char **list) {
  return run_plain_call("CIFSLIB_ListUserContexts",
                        [count, list](sim_state &st) { return list_contexts(st, count, list); });
}

extern "C" int32_t CIFSLIB_RemoveUserContext(const char *context) {
  return run_text_call("CIFSLIB_RemoveUserContext", context, [](sim_state &st, std::string_view text) -> int32_t {
    auto it = find_context(st.data, text);
    if (it == st.data.contexts.end()) return CIFSSIM_NO_SUCH_CONTEXT;
    st.data.contexts.erase(it);
    return CIFSSIM_OK;
  });
}

// Left out of the partial build so tests can see how the addon copes with a missing symbol.
#ifndef CIFSSIM_PARTIAL
extern "C" int32_t CIFSLIB_AddUserContext(const char *context) {
  return run_text_call("CIFSLIB_AddUserContext", context, [](sim_state &st, std::string_view text) -> int32_t {
    if (text.empty()) return CIFSSIM_EMPTY_CONTEXT;
    if (find_context(st.data, text) != st.data.contexts.end()) return CIFSSIM_CONTEXT_EXISTS;
    st.data.contexts.emplace_back(text);
    return CIFSSIM_OK;
  });
}
#endif
