// Builds share records the way the addon does, so the tests feed the library
// what it gets in production; fields can then be bent to make bad records.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "mgmtclient/records.h"

namespace simtest {

struct config_fields {
  std::string name{};
  std::string volume = "DATA";
  std::string relative_path = "dir";
  std::optional<std::string> comment{};
};

class record_bytes {
 public:
  explicit record_bytes(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  cifs::share_record *get() { return reinterpret_cast<cifs::share_record *>(bytes_.data()); }
  const std::vector<uint8_t> &bytes() const { return bytes_; }
  cifs::share_record header() const {
    cifs::share_record h;
    std::memcpy(&h, bytes_.data(), sizeof h);
    return h;
  }
  void set_header(const cifs::share_record &h) { std::memcpy(bytes_.data(), &h, sizeof h); }

 private:
  std::vector<uint8_t> bytes_;
};

inline record_bytes assemble(cifs::share_record h, const std::string &strings) {
  h.strings_length = static_cast<uint32_t>(strings.size());
  std::vector<uint8_t> out(sizeof h + strings.size());
  std::memcpy(out.data(), &h, sizeof h);
  std::memcpy(out.data() + sizeof h, strings.data(), strings.size());
  return record_bytes(std::move(out));
}

inline uint32_t put(std::string &strings, const std::string &text) {
  const auto at = static_cast<uint32_t>(strings.size());
  strings.append(text.c_str(), text.size() + 1);
  return at;
}

// Create and change records: name, volume, relative path, then the comment when given.
inline record_bytes config_record(const config_fields &f) {
  cifs::share_record h{};
  std::string strings;
  h.name_offset = put(strings, f.name);
  h.volume_name_offset = put(strings, f.volume);
  h.relative_path_offset = put(strings, f.relative_path);
  h.comment_offset = f.comment ? put(strings, *f.comment) : cifs::absent_offset;
  h.new_name_offset = cifs::absent_offset;
  h.change_mask = cifs::change_always | cifs::change_encryption | cifs::change_folder_redirection |
                  cifs::change_atm_backup | (f.comment ? cifs::change_comment : 0);
  return assemble(h, strings);
}

// Removal and feature records: the name at offset 0, every other field zero.
inline record_bytes name_record(const std::string &name, uint32_t change_mask = 0) {
  cifs::share_record h{};
  h.change_mask = change_mask;
  std::string strings;
  put(strings, name);
  return assemble(h, strings);
}

}  // namespace simtest
