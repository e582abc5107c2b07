// JS bindings of the management library's controls.
#include <string>
#include <vector>

#include "bindings.h"
#include "cifs_sim_status.h"
#include "mgmt_library.h"
#include "napi_check.h"

namespace simctl {
namespace {

napi_value mgmt_reset(napi_env env, napi_callback_info) {
  auto *m = mgmt(env);
  if (!m) return nullptr;
  m->reset();
  return undefined(env);
}

napi_value mgmt_calls(napi_env env, napi_callback_info) {
  auto *m = mgmt(env);
  if (!m) return nullptr;
  array_builder calls(env);
  m->visit_calls(
      [](void *ctx, const char *call, const char *text, const uint8_t *record, size_t length) {
        auto &out = *static_cast<array_builder *>(ctx);
        napi_env e = out.env();
        napi_value entry = new_object(e);
        napi_value bytes = nullptr;
        bool ok = entry != nullptr;
        if (ok && record)
          ok = !failed(e, napi_create_buffer_copy(e, length, record, nullptr, &bytes), "napi_create_buffer_copy");
        else if (ok)
          ok = !failed(e, napi_get_null(e, &bytes), "napi_get_null");
        ok = ok && set(e, entry, "call", make_string(e, call)) && set(e, entry, "text", make_string(e, text)) &&
             set(e, entry, "record", bytes);
        out.push(ok ? entry : nullptr);
      },
      &calls);
  return calls.result();
}

// mgmtFail(call, status, name | undefined, times | undefined)
napi_value mgmt_fail(napi_env env, napi_callback_info info) {
  napi_value argv[4];
  if (!arguments(env, info, argv)) return nullptr;
  auto call = to_string(env, argv[0], "call");
  if (!call) return nullptr;
  auto status = to_integer(env, argv[1], "status", int32_min, int32_max);
  if (!status) return nullptr;
  std::optional<std::string> name = std::string();
  if (!is_nullish(env, argv[2]) && !(name = to_string(env, argv[2], "name"))) return nullptr;
  std::optional<int64_t> times = 0;
  if (!is_nullish(env, argv[3]) && !(times = to_integer(env, argv[3], "times", 0, uint32_max))) return nullptr;
  auto *m = mgmt(env);
  if (!m) return nullptr;
  return answer(env, m->fail(call->c_str(), static_cast<int32_t>(*status), name->c_str(), static_cast<uint32_t>(*times)),
                "cifssim_fail");
}

napi_value mgmt_failures(napi_env env, napi_callback_info) {
  auto *m = mgmt(env);
  if (!m) return nullptr;
  array_builder rules(env);
  m->visit_failures(
      [](void *ctx, const char *call, int32_t status, const char *name, uint32_t times_left) {
        auto &out = *static_cast<array_builder *>(ctx);
        napi_env e = out.env();
        napi_value entry = new_object(e);
        const bool ok = entry && set(e, entry, "call", make_string(e, call)) &&
                        set(e, entry, "status", number(e, status)) && set(e, entry, "name", make_string(e, name)) &&
                        set(e, entry, "times", number(e, times_left));
        out.push(ok ? entry : nullptr);
      },
      &rules);
  return rules.result();
}

// Texts of one share object, owned here until the library has copied them.
struct share_texts {
  std::string name, volume, relative, absolute, comment;
  bool has_absolute = false, has_comment = false;
};

bool read_share(napi_env env, napi_value object, share_texts &texts, cifssim_share &share) {
  bool enc = false, redirection = false, atm = false;
  if (!read_text(env, object, "name", texts.name, nullptr) ||
      !read_text(env, object, "volumeName", texts.volume, nullptr) ||
      !read_text(env, object, "relativePath", texts.relative, nullptr) ||
      !read_text(env, object, "absolutePath", texts.absolute, &texts.has_absolute) ||
      !read_text(env, object, "comment", texts.comment, &texts.has_comment) ||
      !read_integer(env, object, "type", 0, uint16_max, share.type) ||
      !read_integer(env, object, "nameSpace", 0, uint32_max, share.name_space) ||
      !read_flag(env, object, "encryption", enc) || !read_flag(env, object, "folderRedirection", redirection) ||
      !read_flag(env, object, "atmBackup", atm) ||
      !read_integer(env, object, "openFilesCount", 0, uint32_max, share.open_files_count))
    return false;
  share.encryption = enc;
  share.folder_redirection = redirection;
  share.atm_backup = atm;
  return true;
}

napi_value mgmt_set_shares(napi_env env, napi_callback_info info) {
  napi_value argv[1];
  if (!arguments(env, info, argv)) return nullptr;
  auto items = elements(env, argv[0], "shares");
  if (!items) return nullptr;
  std::vector<share_texts> texts(items->size());
  std::vector<cifssim_share> shares(items->size());
  for (size_t i = 0; i < items->size(); ++i) {
    if (!read_share(env, (*items)[i], texts[i], shares[i])) return nullptr;
    shares[i].name = texts[i].name.c_str();
    shares[i].volume_name = texts[i].volume.c_str();
    shares[i].relative_path = texts[i].relative.c_str();
    shares[i].absolute_path = texts[i].has_absolute ? texts[i].absolute.c_str() : nullptr;
    shares[i].comment = texts[i].has_comment ? texts[i].comment.c_str() : nullptr;
  }
  auto *m = mgmt(env);
  if (!m) return nullptr;
  return answer(env, m->set_shares(shares.data(), shares.size()), "cifssim_set_shares");
}

napi_value mgmt_shares(napi_env env, napi_callback_info) {
  auto *m = mgmt(env);
  if (!m) return nullptr;
  array_builder shares(env);
  m->visit_shares(
      [](void *ctx, const cifssim_share *s) {
        auto &out = *static_cast<array_builder *>(ctx);
        napi_env e = out.env();
        napi_value o = new_object(e);
        const bool ok = o && set(e, o, "name", make_string(e, s->name)) &&
                        set(e, o, "volumeName", make_string(e, s->volume_name)) &&
                        set(e, o, "relativePath", make_string(e, s->relative_path)) &&
                        set(e, o, "absolutePath", make_string(e, s->absolute_path)) &&
                        set(e, o, "comment", make_string(e, s->comment)) && set(e, o, "type", number(e, s->type)) &&
                        set(e, o, "nameSpace", number(e, s->name_space)) &&
                        set(e, o, "encryption", boolean(e, s->encryption)) &&
                        set(e, o, "folderRedirection", boolean(e, s->folder_redirection)) &&
                        set(e, o, "atmBackup", boolean(e, s->atm_backup)) &&
                        set(e, o, "openFilesCount", number(e, s->open_files_count));
        out.push(ok ? o : nullptr);
      },
      &shares);
  return shares.result();
}

// Volumes and contexts: lists of texts with the same set/get shape.
napi_value set_texts(napi_env env, napi_callback_info info, cifssim_set_texts_fn mgmt_controls::*setter,
                     const char *what) {
  napi_value argv[1];
  if (!arguments(env, info, argv)) return nullptr;
  auto items = elements(env, argv[0], what);
  if (!items) return nullptr;
  std::vector<std::string> texts;
  for (napi_value item : *items) {
    auto text = to_string(env, item, what);
    if (!text) return nullptr;
    texts.push_back(std::move(*text));
  }
  std::vector<const char *> pointers;
  for (const auto &t : texts) pointers.push_back(t.c_str());
  auto *m = mgmt(env);
  if (!m) return nullptr;
  return answer(env, (m->*setter)(pointers.data(), pointers.size()), what);
}

napi_value get_texts(napi_env env, cifssim_visit_texts_fn mgmt_controls::*visitor) {
  auto *m = mgmt(env);
  if (!m) return nullptr;
  array_builder texts(env);
  (m->*visitor)(
      [](void *ctx, const char *text) {
        auto &out = *static_cast<array_builder *>(ctx);
        out.push(make_string(out.env(), text));
      },
      &texts);
  return texts.result();
}

napi_value mgmt_set_volumes(napi_env env, napi_callback_info info) {
  return set_texts(env, info, &mgmt_controls::set_volumes, "volumes");
}
napi_value mgmt_volumes(napi_env env, napi_callback_info) { return get_texts(env, &mgmt_controls::visit_volumes); }
napi_value mgmt_set_contexts(napi_env env, napi_callback_info info) {
  return set_texts(env, info, &mgmt_controls::set_contexts, "contexts");
}
napi_value mgmt_contexts(napi_env env, napi_callback_info) { return get_texts(env, &mgmt_controls::visit_contexts); }

napi_value mgmt_delay(napi_env env, napi_callback_info info) {
  napi_value argv[1];
  if (!arguments(env, info, argv)) return nullptr;
  auto ms = to_integer(env, argv[0], "ms", 0, 60000);
  if (!ms) return nullptr;
  auto *m = mgmt(env);
  if (!m) return nullptr;
  m->set_delay(static_cast<uint32_t>(*ms));
  return undefined(env);
}

}  // namespace

const std::vector<binding> mgmt_bindings = {
    {"mgmtReset", mgmt_reset},
    {"mgmtCalls", mgmt_calls},
    {"mgmtFail", mgmt_fail},
    {"mgmtFailures", mgmt_failures},
    {"mgmtSetShares", mgmt_set_shares},
    {"mgmtShares", mgmt_shares},
    {"mgmtSetVolumes", mgmt_set_volumes},
    {"mgmtVolumes", mgmt_volumes},
    {"mgmtSetContexts", mgmt_set_contexts},
    {"mgmtContexts", mgmt_contexts},
    {"mgmtDelay", mgmt_delay},
};

}  // namespace simctl
