// Share calls of the management library: listing, create, change, feature
// switching and removal against the model.
#include "call_log.h"
#include "cifs_sim_status.h"
#include "cifslib_calls.h"
#include "share_list.h"
#include "wire_layout.h"

namespace cifssim {
namespace {

namespace layout = wire::share;

constexpr uint32_t feature_bits = layout::change_encryption | layout::change_folder_redirection | layout::change_atm_backup;
constexpr uint32_t known_bits = layout::change_new_name | layout::change_always | layout::change_comment | feature_bits;

// A create or change request as the module sends it.
struct config_request {
  std::string_view name;
  std::string_view volume;
  std::string_view relative_path;
  std::optional<std::string_view> comment;
  std::optional<std::string_view> new_name;
  share_fields header;
};

// Names must not be empty; paths and comments may.
std::optional<std::string_view> required_text(const record_view &r, uint32_t offset, bool may_be_empty) {
  const text_field f = r.text_at(offset);
  if (f.status != text_status::ok || (!may_be_empty && f.text.empty())) return std::nullopt;
  return f.text;
}

// Strict on purpose: a record the addon built wrong must fail here rather
// than slip into the model. Texts the mask does not name are not read, as the
// addon leaves their offsets zero.
std::optional<config_request> read_config_request(const record_view &r) {
  const share_fields &h = r.fields();
  if (!(h.change_mask & layout::change_always) || (h.change_mask & ~known_bits)) return std::nullopt;
  auto name = required_text(r, h.name, false);
  auto volume = required_text(r, h.volume_name, false);
  auto relative = required_text(r, h.relative_path, true);
  if (!name || !volume || !relative) return std::nullopt;
  config_request req{*name, *volume, *relative, std::nullopt, std::nullopt, h};
  if (h.change_mask & layout::change_comment) {
    req.comment = required_text(r, h.comment, true);
    if (!req.comment) return std::nullopt;
  }
  if (h.change_mask & layout::change_new_name) {
    req.new_name = required_text(r, h.new_name, false);
    if (!req.new_name) return std::nullopt;
  }
  return req;
}

// Only the features whose change bit is set are touched.
void apply_features(share &s, const share_fields &h) {
  if (h.change_mask & layout::change_encryption) s.encryption = h.encryption != 0;
  if (h.change_mask & layout::change_folder_redirection) s.folder_redirection = h.folder_redirection != 0;
  if (h.change_mask & layout::change_atm_backup) s.atm_backup = h.atm_backup != 0;
}

// Type and name space come from the record; the addon sends zeros, which make
// a dos disk share.
int32_t create_share(model &m, const record_view &r) {
  const auto req = read_config_request(r);
  if (!req) return CIFSSIM_BAD_RECORD;
  if (find_share(m, req->name)) return CIFSSIM_SHARE_EXISTS;
  if (!has_volume(m, req->volume)) return CIFSSIM_NO_SUCH_VOLUME;
  share s{.name = std::string(req->name),
          .volume = std::string(req->volume),
          .relative_path = std::string(req->relative_path),
          .absolute_path = absolute_path_for(req->volume, req->relative_path),
          .comment = std::string(req->comment.value_or("")),
          .type = req->header.type,
          .name_space = req->header.name_space};
  apply_features(s, req->header);
  m.shares.push_back(std::move(s));
  return CIFSSIM_OK;
}

// Volume and path are always replaced; comment and features only as marked.
int32_t change_share(model &m, const record_view &r) {
  const auto req = read_config_request(r);
  if (!req) return CIFSSIM_BAD_RECORD;
  share *s = find_share(m, req->name);
  if (!s) return CIFSSIM_NO_SUCH_SHARE;
  if (!has_volume(m, req->volume)) return CIFSSIM_NO_SUCH_VOLUME;
  if (req->new_name) {
    // A rename that only changes case finds the share itself, which is fine.
    const share *holder = find_share(m, *req->new_name);
    if (holder && holder != s) return CIFSSIM_NAME_TAKEN;
    s->name = *req->new_name;
  }
  s->volume = req->volume;
  s->relative_path = req->relative_path;
  s->absolute_path = absolute_path_for(req->volume, req->relative_path);
  if (req->comment) s->comment = *req->comment;
  apply_features(*s, req->header);
  return CIFSSIM_OK;
}

// One feature per record: anything else in the mask means the module built it wrong.
int32_t change_feature(model &m, const record_view &r) {
  const share_fields &h = r.fields();
  const uint32_t mask = h.change_mask;
  if ((mask & ~feature_bits) || mask == 0 || (mask & (mask - 1))) return CIFSSIM_BAD_RECORD;
  const auto name = required_text(r, h.name, false);
  if (!name) return CIFSSIM_BAD_RECORD;
  share *s = find_share(m, *name);
  if (!s) return CIFSSIM_NO_SUCH_SHARE;
  apply_features(*s, h);
  return CIFSSIM_OK;
}

}  // namespace
}  // namespace cifssim

using namespace cifssim;

extern "C" int32_t CIFSLIB_GetShareNames(void *) {
  return run_plain_call(library_call::CIFSLIB_GetShareNames, [](sim_state &) { return CIFSSIM_NOT_IMPLEMENTED; });
}

extern "C" int32_t CIFSLIB_ListAllShares(void **share_list_block) {
  constexpr auto call = library_call::CIFSLIB_ListAllShares;
  return run_plain_call(call, [share_list_block](sim_state &st) -> int32_t {
    if (!share_list_block) return CIFSSIM_NULL_ARGUMENT;
    // A queued raw result stands in for the model's list on this call only.
    if (auto raw = take_raw_result(st, call)) return hand_out_raw(st, call, *raw, {share_list_block});
    void *block = build_share_list(st.data.shares, st.choices.share_records_inside, st.kept);
    if (!block) return CIFSSIM_OUT_OF_MEMORY;
    *share_list_block = block;
    return CIFSSIM_OK;
  });
}

extern "C" int32_t CIFSLIB_CreateShare(void *record) {
  return run_record_call(library_call::CIFSLIB_CreateShare, record,
                         [](sim_state &st, const record_view &r) { return create_share(st.data, r); });
}

extern "C" int32_t CIFSLIB_ChangeShareConfiguration(void *record) {
  return run_record_call(library_call::CIFSLIB_ChangeShareConfiguration, record,
                         [](sim_state &st, const record_view &r) { return change_share(st.data, r); });
}

extern "C" int32_t CIFSLIB_ChangeShareFeatureConfiguration(void *record) {
  return run_record_call(library_call::CIFSLIB_ChangeShareFeatureConfiguration, record,
                         [](sim_state &st, const record_view &r) { return change_feature(st.data, r); });
}

// Left out of the partial build so tests can see how the addon copes with a missing symbol.
#ifndef CIFSSIM_PARTIAL
extern "C" int32_t CIFSLIB_RemoveShare(void *record) {
  return run_record_call(library_call::CIFSLIB_RemoveShare, record, [](sim_state &st, const record_view &r) -> int32_t {
    const auto name = required_text(r, r.fields().name, false);
    if (!name) return CIFSSIM_BAD_RECORD;
    auto &shares = st.data.shares;
    share *s = find_share(st.data, *name);
    if (!s) return CIFSSIM_NO_SUCH_SHARE;
    shares.erase(shares.begin() + (s - shares.data()));
    return CIFSSIM_OK;
  });
}
#endif
