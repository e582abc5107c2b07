// Builds list request pages and close file records the way the module does,
// so the tests feed the library what it gets in production; the bytes can
// then be bent to make bad ones.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "mgmtclient/open_file_records.h"

namespace simtest {

struct filter_spec {
  uint32_t type;
  std::vector<std::string> patterns;
  std::string filter_by = type == cifs::filter_type_type ? "type" : "search-name";
};

struct page_fields {
  std::optional<std::string> volume = "DATA";
  uint32_t ignore = 0, limit = 0;
  std::optional<std::string> cookie{};
  std::optional<uint32_t> match_type{};  // set: a filter block with `filters`
  std::vector<filter_spec> filters{};
};

inline uint32_t read_u32(const std::vector<uint8_t> &b, size_t at) {
  uint32_t v;
  std::memcpy(&v, b.data() + at, sizeof v);
  return v;
}
inline void write_u32(std::vector<uint8_t> &b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, sizeof v); }

// One zero-filled page: header, then volume, cookie and filter block.
class request_page {
 public:
  static constexpr size_t area = sizeof(cifs::open_files_request);

  explicit request_page(const page_fields &f) : bytes_(static_cast<size_t>(sysconf(_SC_PAGESIZE)), 0) {
    std::string strings;
    auto put = [&strings](const std::string &text) {
      const auto at = static_cast<uint32_t>(strings.size());
      strings.append(text.c_str(), text.size() + 1);
      return at;
    };
    write_u32(bytes_, 4, f.ignore);
    write_u32(bytes_, 8, f.limit);
    write_u32(bytes_, 16, f.volume ? put(*f.volume) : cifs::absent_offset);
    write_u32(bytes_, 12, f.cookie ? put(*f.cookie) : cifs::absent_offset);
    write_u32(bytes_, 20, cifs::absent_offset);
    if (f.match_type) {
      write_u32(bytes_, 20, static_cast<uint32_t>(strings.size()));
      std::string entries;
      for (const auto &filter : f.filters) {
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
      b.filter_count = static_cast<uint8_t>(f.filters.size());
      b.match_type = *f.match_type;
      b.entries_length = static_cast<uint32_t>(entries.size());
      strings.append(reinterpret_cast<const char *>(&b), sizeof b).append(entries);
    }
    write_u32(bytes_, 24, static_cast<uint32_t>(strings.size()));
    std::memcpy(bytes_.data() + area, strings.data(), strings.size());
  }

  void *get() { return bytes_.data(); }
  std::vector<uint8_t> &bytes() { return bytes_; }
  uint32_t strings_length() const { return read_u32(bytes_, 24); }
  // Byte position of the filter block, of its first entry.
  size_t block_at() const { return area + read_u32(bytes_, 20); }
  size_t first_entry_at() const { return block_at() + sizeof(cifs::filter_block_header); }

 private:
  std::vector<uint8_t> bytes_;
};

inline std::vector<uint8_t> close_record(const std::string &path) {
  std::vector<uint8_t> r(sizeof(cifs::close_file_record), 0);
  std::memcpy(r.data() + sizeof(cifs::open_file_record), path.data(), path.size());
  return r;
}

}  // namespace simtest
