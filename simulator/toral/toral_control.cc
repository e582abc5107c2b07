// Test-only control of the identity model.
#include "identity_model.h"
#include "toralsim_control.h"

extern "C" CIFSSIM_EXPORT void toralsim_reset(void) {
  auto &m = toralsim::model();
  std::lock_guard lock(m.mutex);
  m.fallback = toralsim::identity_model::reset_values();
  m.by_dn.clear();
  m.calls.clear();
}

extern "C" CIFSSIM_EXPORT void toralsim_reset_identity(toralsim_identity *out) {
  if (out) *out = toralsim::identity_model::reset_values();
}

extern "C" CIFSSIM_EXPORT void toralsim_set_identity(const char *dn, const toralsim_identity *identity) {
  if (!identity) return;
  auto &m = toralsim::model();
  std::lock_guard lock(m.mutex);
  if (dn)
    m.by_dn[dn] = *identity;
  else
    m.fallback = *identity;
}

extern "C" CIFSSIM_EXPORT void toralsim_visit_calls(toralsim_call_visitor visit, void *ctx) {
  auto &m = toralsim::model();
  std::lock_guard lock(m.mutex);
  for (const auto &c : m.calls) visit(ctx, c.call.c_str(), c.text.c_str(), c.capacity);
}

extern "C" CIFSSIM_EXPORT void toralsim_visit_identities(toralsim_identity_visitor visit, void *ctx) {
  auto &m = toralsim::model();
  std::lock_guard lock(m.mutex);
  visit(ctx, nullptr, &m.fallback);
  for (const auto &[dn, identity] : m.by_dn) visit(ctx, dn.c_str(), &identity);
}
