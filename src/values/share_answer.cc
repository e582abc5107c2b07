#include "values/share_answer.h"

#include <strings.h>

#include <cstring>

#include "base/log.h"
#include "base/malloc_block.h"
#include "values/builders.h"
#include "values/keys.h"
#include "wire/share_records.h"

namespace cifs {

namespace {

fixed_text share_type_text(uint16_t type) {
  switch (type) {
    case share_type_disk: return t_share_type_disk;
    case share_type_system: return t_share_type_system;
    case share_type_ipc: return t_share_type_ipc;
    case share_type_custom: return t_share_type_custom;
    case share_type_dfs: return t_share_type_dfs;
    default: return t_empty;
  }
}

// The administrative share is listed without a name space of its own.
bool is_admin_share(std::string_view name) {
  auto equals = [&](const char *admin) {
    return name.size() == std::strlen(admin) && strncasecmp(name.data(), admin, name.size()) == 0;
  };
  return equals("_admin") || equals("admin");
}

// The name space's text, or fixed_text_count when the share shows none.
fixed_text name_space_text(uint32_t name_space, std::string_view share_name) {
  switch (name_space) {
    case name_space_dos: return t_name_space_dos;
    case name_space_mac: return t_name_space_mac;
    case name_space_unix: return t_name_space_unix;
    case name_space_long: return t_name_space_long;
    case name_space_unknown: return is_admin_share(share_name) ? t_name_space_long : fixed_text_count;
    default: return fixed_text_count;
  }
}


field feature_field(uint8_t byte) { return field::fixed(byte != 0 ? t_enabled : t_disabled); }

}  // namespace

void cs_convert_share_info_to_json(napi_env env, const share_view *share, uint32_t index, napi_value array,
                                   share_form form, const answer_kit &kit) {
  if (share == nullptr) return;
  built_record record;
  if (form == share_form::full) {
    const fixed_text name_space = name_space_text(share->name_space, share->name);
    const field fields[] = {
        field::of(kit.answer_text(ckey(k_name), share->name)),
        field::fixed(share_type_text(share->share_type)),
        field::of(kit.answer_text(ckey(ck_comment), share->comment)),
        field::of(kit.answer_text(ckey(k_volume_name), share->volume_name)),
        field::of(kit.answer_text(ckey(ck_relative_path), share->relative_path)),
        name_space != fixed_text_count ? field::fixed(name_space) : field::none(),
        field::of(kit.answer_text(ckey(ck_absolute_path), share->absolute_path)),
        feature_field(share->encryption),
        feature_field(share->folder_redirection),
        feature_field(share->atm_backup),
    };
    record = build_record<r_share_full>(env, kit, fields, array, index);
  } else {
    const field fields[] = {
        field::of(kit.answer_text(ckey(k_name), share->name)),
        field::of(kit.answer_text(ckey(ck_absolute_path), share->absolute_path)),
        feature_field(share->encryption),
        feature_field(share->folder_redirection),
        feature_field(share->atm_backup),
        field::of(make_uint32(env, ckey(k_open_files_count), share->open_files_count)),
    };
    record = build_record<r_share_mapped>(env, kit, fields, array, index);
  }
  // The builder stores the share too: a failure of either is one failure.
  if (record.object == nullptr) LOG_ERROR("Failed to create NAPI object to store CIFS shares info");
}

template <share_form form>
void cs_convert_shares_list_to_json(napi_env env, request_instance *instance, const answer_kit &kit) {
  napi_value array;
  if (napi_create_array(env, &array) != napi_ok) {
    LOG_ERROR("Failed to create array to store CIFS share info");
    return;
  }
  const uint8_t *block = instance->share_list.get();
  share_list_reader reader(block, malloc_block_size(block));
  for (uint32_t i = 0; i < reader.count(); ++i) {
    share_fault fault;
    std::optional<share_view> share = reader.share(i, &fault);
    if (const char *why = share_fault_text(fault)) LOG_ERROR("Share record %u of the list skipped: %s", i, why);
    cs_convert_share_info_to_json(env, share ? &*share : nullptr, i, array, form, kit);
  }
  if (kit.set(ck_shares, array) != napi_ok)
    LOG_ERROR("Failed to copy CIFS share list into return object");
}

template void cs_convert_shares_list_to_json<share_form::full>(napi_env, request_instance *, const answer_kit &);
template void cs_convert_shares_list_to_json<share_form::mapped>(napi_env, request_instance *, const answer_kit &);

}  // namespace cifs
