// Test-only control of the identity model.
#include "cifs_sim_status.h"
#include "identity_model.h"
#include "toralsim_control.h"

using namespace toralsim;

extern "C" CIFSSIM_EXPORT void toralsim_reset(void) {
  auto &m = model();
  std::lock_guard lock(m.mutex);
  m.seed();
  m.calls.clear();
}

extern "C" CIFSSIM_EXPORT void toralsim_visit_calls(toralsim_call_visitor visit, void *ctx) {
  auto &m = model();
  std::lock_guard lock(m.mutex);
  for (const auto &c : m.calls) visit(ctx, c.call.c_str(), c.text.c_str(), c.capacity);
}

extern "C" CIFSSIM_EXPORT int32_t toralsim_section(const char *name, toralsim_text_visitor visit, void *ctx) {
  auto &m = model();
  const bool known = simstate::control_section(identity_sections(), static_cast<identity_entries &>(m), m.mutex,
                                               name, visit, ctx);
  return known ? TORALSIM_OK : TORALSIM_BAD_ARGUMENT;
}

extern "C" CIFSSIM_EXPORT int32_t toralsim_set_section(const char *name, const char *lines, size_t length) {
  auto &m = model();
  const bool taken = simstate::control_set_section(identity_sections(), static_cast<identity_entries &>(m), m.mutex,
                                                   name, lines, length);
  return taken ? TORALSIM_OK : TORALSIM_BAD_ARGUMENT;
}
