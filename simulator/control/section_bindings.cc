// JS bindings of the sections of both simulated libraries: a section's lines
// as the state file holds them, got and set whole. lib/simulator.js turns
// them into records and back.
#include <optional>
#include <string>

#include "bindings.h"
#include "mgmt_library.h"
#include "napi_check.h"
#include "toralsim_control.h"

namespace simctl {
namespace {

using section_getter = int32_t (*)(const char *, void (*)(void *, const char *), void *);
using section_setter = int32_t (*)(const char *, const char *, size_t);

struct library_sections {
  section_getter get;
  section_setter set;
};

// "mgmt" or "identity"; nothing, with an error pending, for another name or
// a management library that cannot be opened.
std::optional<library_sections> sections_of(napi_env env, napi_value library) {
  const auto name = to_string(env, library, "library");
  if (!name) return std::nullopt;
  if (*name == "identity") return library_sections{toralsim_section, toralsim_set_section};
  if (*name != "mgmt") {
    throw_type_error(env, "library must be 'mgmt' or 'identity'");
    return std::nullopt;
  }
  const auto *m = mgmt(env);
  if (!m) return std::nullopt;
  return library_sections{m->section, m->set_section};
}

// The library and the section name of argv[0] and argv[1].
struct section_call {
  library_sections library;
  std::string name;
};

std::optional<section_call> section_of(napi_env env, const napi_value *argv) {
  auto library = sections_of(env, argv[0]);
  if (!library) return std::nullopt;
  auto name = to_string(env, argv[1], "section");
  if (!name) return std::nullopt;
  return section_call{*library, std::move(*name)};
}

// section(library, name) -> the section's lines
napi_value section(napi_env env, napi_callback_info info) {
  napi_value argv[2];
  if (!arguments(env, info, argv)) return nullptr;
  const auto call = section_of(env, argv);
  if (!call) return nullptr;
  std::string lines;
  const int32_t status = call->library.get(
      call->name.c_str(), [](void *ctx, const char *text) { *static_cast<std::string *>(ctx) = text; }, &lines);
  if (status != 0) return answer(env, status, ("section " + call->name).c_str());
  return make_string(env, lines.c_str());
}

// setSection(library, name, lines)
napi_value set_section(napi_env env, napi_callback_info info) {
  napi_value argv[3];
  if (!arguments(env, info, argv)) return nullptr;
  const auto call = section_of(env, argv);
  if (!call) return nullptr;
  const auto lines = to_string(env, argv[2], "lines");
  if (!lines) return nullptr;
  return answer(env, call->library.set(call->name.c_str(), lines->data(), lines->size()),
                ("section " + call->name).c_str());
}

}  // namespace

const std::vector<binding> section_bindings = {
    {"section", section},
    {"setSection", set_section},
};

}  // namespace simctl
