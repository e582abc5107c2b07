// Test-only control of the shared memory objects the simulated library creates.
#include <cstdio>
#include <type_traits>

#include "cifssim_control.h"
#include "shm_objects.h"

using namespace cifssim;

extern "C" CIFSSIM_EXPORT size_t cifssim_shm_prefix(char *out, size_t size) {
  const std::string prefix = shm_prefix();
  if (out && size) std::snprintf(out, size, "%s", prefix.c_str());
  return prefix.size();
}

extern "C" CIFSSIM_EXPORT void cifssim_visit_shm_objects(cifssim_text_visitor visit, void *ctx) {
  for (const auto &name : present_objects()) visit(ctx, name.c_str());
}

extern "C" CIFSSIM_EXPORT uint32_t cifssim_remove_shm_objects(void) {
  return static_cast<uint32_t>(remove_objects());
}

static_assert(std::is_same_v<decltype(&cifssim_shm_prefix), cifssim_shm_prefix_fn>);
static_assert(std::is_same_v<decltype(&cifssim_visit_shm_objects), cifssim_visit_texts_fn>);
static_assert(std::is_same_v<decltype(&cifssim_remove_shm_objects), cifssim_remove_shm_objects_fn>);
