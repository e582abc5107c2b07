#include "model.h"

#include <algorithm>
#include <cctype>

#include "wire_layout.h"

namespace cifssim {

// A small server: three volumes, shares of the disk, system and IPC types in
// several name spaces (the admin share's unknown), with features, comments and
// open file counts mixed so a listing exercises every field.
model seed_model() {
  model m;
  m.volumes = {"DATA", "SYS", "HOME"};
  auto add = [&m](share s) {
    s.absolute_path = absolute_path_for(s.volume, s.relative_path);
    m.shares.push_back(std::move(s));
  };
  add({.name = "DATA", .volume = "DATA", .comment = "Department data", .type = wire::share::type_disk,
       .name_space = wire::share::name_space_long, .encryption = true, .atm_backup = true, .open_files = 12});
  add({.name = "projects", .volume = "DATA", .relative_path = "projects", .type = wire::share::type_disk,
       .name_space = wire::share::name_space_unix, .folder_redirection = true});
  add({.name = "home", .volume = "HOME", .relative_path = "users", .comment = "Home directories",
       .type = wire::share::type_disk, .name_space = wire::share::name_space_dos, .folder_redirection = true,
       .open_files = 4});
  add({.name = "SYS", .volume = "SYS", .comment = "System files", .type = wire::share::type_system,
       .name_space = wire::share::name_space_long, .open_files = 1});
  add({.name = "_admin", .volume = "SYS", .relative_path = "_admin", .comment = "Remote administration",
       .type = wire::share::type_ipc, .name_space = wire::share::name_space_unknown});
  m.contexts = {".users.org", ".staff.users.org", ".admins.org"};
  m.open_files = seed_open_files();
  m.connections = seed_connections();
  m.invalid_users = seed_invalid_users();
  return m;
}

bool same_name(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

share *find_share(model &m, std::string_view name) {
  auto it = std::ranges::find_if(m.shares, [name](const share &s) { return same_name(s.name, name); });
  return it == m.shares.end() ? nullptr : &*it;
}

bool has_volume(const model &m, std::string_view volume) {
  return std::ranges::any_of(m.volumes, [volume](const std::string &v) { return same_name(v, volume); });
}

std::vector<std::string>::iterator find_context(model &m, std::string_view text) {
  return std::ranges::find_if(m.contexts, [text](const std::string &c) { return same_name(c, text); });
}

std::string absolute_path_for(std::string_view volume, std::string_view relative_path) {
  // A relative path written with a leading slash must not double it.
  while (!relative_path.empty() && relative_path.front() == '/') relative_path.remove_prefix(1);
  std::string path = "/";
  path += volume;
  if (!relative_path.empty()) {
    path += '/';
    path += relative_path;
  }
  return path;
}

}  // namespace cifssim
