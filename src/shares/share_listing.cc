#include <strings.h>

#include <cstring>

#include "identity/caller_identity.h"
#include "mgmtclient/binding.h"
#include "mgmtclient/share_records.h"
#include "module/error_codes.h"
#include "module/log.h"
#include "shares/share_operations.h"
#include "values/bounded_text.h"
#include "values/builders.h"
#include "values/keys.h"
#include "values/library_buffer.h"

namespace cifs {

namespace {

const char *share_type_name(uint16_t type) {
  switch (type) {
    case share_type_disk: return "Disk Directory Tree";
    case share_type_system: return "System";
    case share_type_ipc: return "Inter Process Communication";
    case share_type_custom: return "Custom Data Share";
    case share_type_dfs: return "Global DFS namespace";
    default: return "";
  }
}

// The administrative share is listed without a name space of its own.
bool is_admin_share(std::string_view name) {
  auto equals = [&](const char *admin) {
    return name.size() == std::strlen(admin) && strncasecmp(name.data(), admin, name.size()) == 0;
  };
  return equals("_admin") || equals("admin");
}

const char *name_space_name(uint32_t name_space, std::string_view share_name) {
  switch (name_space) {
    case name_space_dos: return "dos";
    case name_space_mac: return "mac";
    case name_space_unix: return "unix";
    case name_space_long: return "long";
    case name_space_unknown: return is_admin_share(share_name) ? "long" : nullptr;
    default: return nullptr;
  }
}

void set_text(napi_env env, napi_value object, const char *key, std::string_view text) {
  create_string_utf8_n(env, object, key, text.data(), text.size());
}

const char *feature_text(uint8_t byte) { return byte != 0 ? "enabled" : "disabled"; }

}  // namespace

void cs_list_all_shares(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  if (!is_user_supervisor(instance) || !CIFS_REQUIRE(instance, CIFSLIB_ListAllShares)) return;
  void *block = nullptr;
  int32_t status = mgmt::CIFSLIB_ListAllShares(&block);
  instance->share_list.reset(static_cast<uint8_t *>(block));
  if (status != 0) {
    copy_bounded(instance->error_message, "Failed to get the list of cifs shares");
    instance->error_id = id_failed_to_list_shares;
    LOG_ERROR("%s, error: %d", instance->error_message, status);
  }
  instance->error_code = static_cast<uint32_t>(status);
}

void cs_convert_share_info_to_json(napi_env env, const share_view *share, napi_value result, uint32_t index,
                                   napi_value array, share_form form) {
  (void)result;  // the share lands in `array`; kept for the converter's call shape
  if (share == nullptr) return;
  napi_value object;
  if (napi_create_object(env, &object) != napi_ok) {
    LOG_ERROR("Failed to create NAPI object to store CIFS shares info");
    return;
  }
  set_text(env, object, ckey(k_name), share->name);
  if (form == share_form::full) {
    create_string_utf8(env, object, ckey(k_type), share_type_name(share->share_type));
    set_text(env, object, ckey(ck_comment), share->comment);
    set_text(env, object, ckey(k_volume_name), share->volume_name);
    set_text(env, object, ckey(ck_relative_path), share->relative_path);
    if (const char *name_space = name_space_name(share->name_space, share->name))
      create_string_utf8(env, object, ckey(k_name_space), name_space);
  }
  set_text(env, object, ckey(ck_absolute_path), share->absolute_path);
  create_string_utf8(env, object, ckey(ck_encryption), feature_text(share->encryption));
  create_string_utf8(env, object, ckey(ck_folder_redirection), feature_text(share->folder_redirection));
  create_string_utf8(env, object, ckey(ck_atm_backup), feature_text(share->atm_backup));
  if (form == share_form::mapped) create_uint32(env, object, ckey(k_open_files_count), share->open_files_count);
  if (napi_set_element(env, array, index, object) != napi_ok)
    LOG_ERROR("Failed to copy cifs share information to array");
}

void cs_convert_shares_list_to_json(napi_env env, request_instance *instance, napi_value result, share_form form) {
  napi_value array;
  if (napi_create_array(env, &array) != napi_ok) {
    LOG_ERROR("Failed to create array to store CIFS share info");
    return;
  }
  const uint8_t *block = instance->share_list.get();
  share_list_reader reader(block, library_buffer_size(block));
  for (uint32_t i = 0; i < reader.count(); ++i) {
    share_fault fault;
    std::optional<share_view> share = reader.share(i, &fault);
    if (const char *why = share_fault_text(fault)) LOG_ERROR("Share record %u of the list skipped: %s", i, why);
    cs_convert_share_info_to_json(env, share ? &*share : nullptr, result, i, array, form);
  }
  if (napi_set_named_property(env, result, ckey(ck_shares), array) != napi_ok)
    LOG_ERROR("Failed to copy CIFS share list into return object");
}

}  // namespace cifs
