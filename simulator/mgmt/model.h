// The management library's view of the server: volumes, shares, user
// contexts, open files, client connections and the invalid users cache. Plain data; the caller holds the state lock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "connections_model.h"
#include "invalid_users_model.h"
#include "open_files_model.h"

namespace cifssim {

struct share {
  std::string name{};
  std::string volume{};
  std::string relative_path{};
  std::string absolute_path{};
  std::string comment{};
  uint16_t type = 0;
  uint32_t name_space = 0;
  bool encryption = false;
  bool folder_redirection = false;
  bool atm_backup = false;
  uint32_t open_files = 0;
};

struct model {
  std::vector<std::string> volumes;
  std::vector<share> shares;
  std::vector<std::string> contexts;
  open_files_table open_files;
  std::vector<connection> connections;
  invalid_users_table invalid_users;
};

model seed_model();

// Share names, volume names and contexts compare without regard to ASCII case,
// as the server's name spaces do.
bool same_name(std::string_view a, std::string_view b);
share *find_share(model &m, std::string_view name);
bool has_volume(const model &m, std::string_view volume);
std::vector<std::string>::iterator find_context(model &m, std::string_view text);
std::string absolute_path_for(std::string_view volume, std::string_view relative_path);

}  // namespace cifssim
