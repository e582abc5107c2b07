// JS bindings of the library's choices (where its records lie, the slack of
// its objects) and of the shrink hook of the next listing.
#include <optional>

#include "bindings.h"
#include "cifssim_control.h"
#include "mgmt_library.h"
#include "napi_check.h"

namespace simctl {
namespace {

struct choice_controls {
  cifssim_set_choices_fn set_choices;
  cifssim_get_choices_fn get_choices;
  cifssim_shrink_next_object_fn shrink_next_object;
};

const choice_controls *controls(napi_env env) {
  static std::optional<choice_controls> bound;
  if (bound) return &*bound;
  choice_controls c{};
  if (!bind_control(env, "cifssim_set_choices", c.set_choices) ||
      !bind_control(env, "cifssim_get_choices", c.get_choices) ||
      !bind_control(env, "cifssim_shrink_next_object", c.shrink_next_object))
    return nullptr;
  bound = c;
  return &*bound;
}

// mgmtSetChoices(shareRecordsInside, connectionRecordsInside, objectSlack)
napi_value set_choices(napi_env env, napi_callback_info info) {
  napi_value argv[3];
  if (!arguments(env, info, argv)) return nullptr;
  const auto shares_inside = to_bool(env, argv[0], "shareRecordsInside");
  if (!shares_inside) return nullptr;
  const auto connections_inside = to_bool(env, argv[1], "connectionRecordsInside");
  if (!connections_inside) return nullptr;
  const auto slack = to_integer(env, argv[2], "objectSlack", 0, uint32_max);
  if (!slack) return nullptr;
  const auto *c = controls(env);
  if (!c) return nullptr;
  const cifssim_choices choices{static_cast<uint8_t>(*shares_inside), static_cast<uint8_t>(*connections_inside),
                                static_cast<uint32_t>(*slack)};
  return answer(env, c->set_choices(&choices), "cifssim_set_choices");
}

// mgmtChoices() -> {shareRecordsInside, connectionRecordsInside, objectSlack}
napi_value get_choices(napi_env env, napi_callback_info) {
  const auto *c = controls(env);
  if (!c) return nullptr;
  cifssim_choices choices{};
  c->get_choices(&choices);
  napi_value out = new_object(env);
  if (!out || !set(env, out, "shareRecordsInside", boolean(env, choices.share_records_inside != 0)) ||
      !set(env, out, "connectionRecordsInside", boolean(env, choices.connection_records_inside != 0)) ||
      !set(env, out, "objectSlack", number(env, choices.object_slack)))
    return nullptr;
  return out;
}

// mgmtShrinkNextObject(bytes), -1 clears
napi_value shrink_next_object(napi_env env, napi_callback_info info) {
  napi_value argv[1];
  if (!arguments(env, info, argv)) return nullptr;
  const auto bytes = to_integer(env, argv[0], "bytes", -1, (int64_t{1} << 53) - 1);
  if (!bytes) return nullptr;
  const auto *c = controls(env);
  if (!c) return nullptr;
  return answer(env, c->shrink_next_object(*bytes), "cifssim_shrink_next_object");
}

}  // namespace

const std::vector<binding> choices_bindings = {
    {"mgmtSetChoices", set_choices},
    {"mgmtChoices", get_choices},
    {"mgmtShrinkNextObject", shrink_next_object},
};

}  // namespace simctl
