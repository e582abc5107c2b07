// Texts that recur in answers: the operation names, the feature states and
// the type and name space names, and more as converters need them. Each is
// one string per environment, shared by every answer (env_cache), and the
// record builders take them by index.
#pragma once

#include <cstdint>

namespace cifs {

enum fixed_text : uint8_t {
  t_empty,
  t_success,
  t_failure,
  t_enabled,
  t_disabled,
  t_share_type_disk,
  t_share_type_system,
  t_share_type_ipc,
  t_share_type_custom,
  t_share_type_dfs,
  t_name_space_dos,
  t_name_space_mac,
  t_name_space_unix,
  t_name_space_long,
  // Operation names, as the operation tables name their rows.
  t_fetch_cifs_shares,
  t_create_cifs_share,
  t_change_cifs_share_configuration,
  t_change_cifs_share_feature_configuration,
  t_remove_cifs_share,
  t_list_open_files_of_share,
  t_close_open_file,
  t_close_all_open_files_of_share,
  t_fetch_cifs_user_contexts,
  t_add_cifs_user_context,
  t_remove_cifs_user_contexts,
  fixed_text_count,
};

inline constexpr const char *fixed_texts[fixed_text_count] = {
    "",
    "success",
    "failure",
    "enabled",
    "disabled",
    "Disk Directory Tree",
    "System",
    "Inter Process Communication",
    "Custom Data Share",
    "Global DFS namespace",
    "dos",
    "mac",
    "unix",
    "long",
    "FetchCIFSShares",
    "CreateCIFSShare",
    "ChangeCIFSShareConfiguration",
    "ChangeCIFSShareFeatureConfiguration",
    "RemoveCIFSShare",
    "ListOpenFilesOfShare",
    "CloseOpenFile",
    "CloseAllOpenFilesOfShare",
    "FetchCIFSUserContexts",
    "AddCIFSUserContext",
    "RemoveCIFSUserContexts",
};

}  // namespace cifs
