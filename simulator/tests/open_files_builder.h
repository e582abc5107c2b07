// Builds list request pages (open files and invalid users) and close file
// records the way the module does, so the tests feed the library what it gets
// in production; the bytes can then be bent to make bad ones.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "mgmtclient/connection_records.h"
#include "mgmtclient/invalid_user_records.h"
#include "mgmtclient/open_file_records.h"

namespace simtest {

struct filter_spec {
  uint32_t type;
  std::vector<std::string> patterns;
  std::string filter_by = type == cifs::filter_type_type ? "type" : "search-name";
};

// The two page-sized list requests: the open files one (volume or
// connection form) and the invalid users one.
enum class page_kind { open_files, invalid_users };

struct page_fields {
  std::optional<std::string> volume = "DATA";  // open files: absent makes the connection form
  uint32_t connection = 0;                     // open files: the first field
  uint32_t ignore = 0, limit = 0;
  std::optional<std::string> cookie{};
  std::optional<uint32_t> match_type{};  // set: a filter block with `filters`
  std::vector<filter_spec> filters{};
  page_kind kind = page_kind::open_files;
};

inline uint32_t read_u32(const std::vector<uint8_t> &b, size_t at) {
  uint32_t v;
  std::memcpy(&v, b.data() + at, sizeof v);
  return v;
}
inline void write_u32(std::vector<uint8_t> &b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, sizeof v); }

// The advanced filter block as the module lays it out.
inline std::string filter_block(uint32_t match_type, const std::vector<filter_spec> &filters) {
  std::string entries;
  for (const auto &filter : filters) {
    std::string s;
    s.append(filter.filter_by.c_str(), filter.filter_by.size() + 1);
    const auto patterns_at = static_cast<uint32_t>(s.size());
    for (const auto &p : filter.patterns) s.append(p.c_str(), p.size() + 1);
    cifs::filter_entry_header e{};
    e.filter_type = filter.type;
    e.pattern_count = static_cast<uint8_t>(filter.patterns.size());
    e.patterns_offset = patterns_at;
    e.strings_length = static_cast<uint32_t>(s.size());
    entries.append(reinterpret_cast<const char *>(&e), sizeof e).append(s);
  }
  cifs::filter_block_header b{};
  b.filter_count = static_cast<uint8_t>(filters.size());
  b.match_type = match_type;
  b.entries_length = static_cast<uint32_t>(entries.size());
  return std::string(reinterpret_cast<const char *>(&b), sizeof b).append(entries);
}

// One zero-filled page: header, then volume (open files), cookie and filter block.
class request_page {
 public:
  explicit request_page(const page_fields &f)
      : bytes_(static_cast<size_t>(sysconf(_SC_PAGESIZE)), 0), layout_(layout_of(f.kind)) {
    std::string strings;
    auto put = [&strings](const std::string &text) {
      const auto at = static_cast<uint32_t>(strings.size());
      strings.append(text.c_str(), text.size() + 1);
      return at;
    };
    const bool open_files = f.kind == page_kind::open_files;
    write_u32(bytes_, layout_.ignore, f.ignore);
    write_u32(bytes_, layout_.ignore + 4, f.limit);
    if (open_files) {
      write_u32(bytes_, cifs::connection_open_files_number_field, f.connection);
      write_u32(bytes_, offsetof(cifs::open_files_request, volume_name_offset),
                f.volume ? put(*f.volume) : cifs::absent_offset);
    }
    write_u32(bytes_, layout_.cookie, f.cookie ? put(*f.cookie) : cifs::absent_offset);
    write_u32(bytes_, layout_.page.filters_offset_field, cifs::absent_offset);
    if (f.match_type) {
      write_u32(bytes_, layout_.page.filters_offset_field, static_cast<uint32_t>(strings.size()));
      strings += filter_block(*f.match_type, f.filters);
    }
    write_u32(bytes_, layout_.page.strings_length_field, static_cast<uint32_t>(strings.size()));
    std::memcpy(bytes_.data() + layout_.page.header_size, strings.data(), strings.size());
  }

  void *get() { return bytes_.data(); }
  std::vector<uint8_t> &bytes() { return bytes_; }
  size_t header_size() const { return layout_.page.header_size; }
  size_t strings_length_field() const { return layout_.page.strings_length_field; }
  uint32_t strings_length() const { return read_u32(bytes_, layout_.page.strings_length_field); }
  // Byte position of the filter block, of its first entry.
  size_t block_at() const { return layout_.page.header_size + read_u32(bytes_, layout_.page.filters_offset_field); }
  size_t first_entry_at() const { return block_at() + sizeof(cifs::filter_block_header); }

 private:
  struct layout {
    cifs::page_layout page;
    size_t ignore, cookie;
  };
  static layout layout_of(page_kind kind) {
    if (kind == page_kind::invalid_users)
      return {cifs::invalid_users_request_layout, offsetof(cifs::invalid_users_request, ignore_count),
              offsetof(cifs::invalid_users_request, cookie_offset)};
    return {cifs::open_files_request_layout, offsetof(cifs::open_files_request, ignore_count),
            offsetof(cifs::open_files_request, cookie_offset)};
  }

  std::vector<uint8_t> bytes_;
  layout layout_;
};

inline std::vector<uint8_t> close_record(const std::string &path) {
  std::vector<uint8_t> r(sizeof(cifs::close_file_record), 0);
  std::memcpy(r.data() + sizeof(cifs::open_file_record), path.data(), path.size());
  return r;
}

}  // namespace simtest
