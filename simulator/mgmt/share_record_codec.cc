#include "share_record_codec.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace cifssim {

std::vector<uint8_t> capture_record(const cifs::share_record *record, size_t strings_limit) {
  cifs::share_record header;
  std::memcpy(&header, record, sizeof header);
  const size_t strings = std::min<size_t>(header.strings_length, strings_limit);
  std::vector<uint8_t> out(sizeof header + strings);
  std::memcpy(out.data(), record, out.size());
  return out;
}

std::optional<record_view> record_view::parse(std::span<const uint8_t> bytes) {
  cifs::share_record header;
  if (bytes.size() < sizeof header) return std::nullopt;
  std::memcpy(&header, bytes.data(), sizeof header);
  const auto strings = bytes.subspan(sizeof header);
  if (header.strings_length > strings.size()) return std::nullopt;
  return record_view(header, strings.first(header.strings_length));
}

text_field record_view::text_at(uint32_t offset) const {
  if (offset == cifs::absent_offset) return {text_status::absent, {}};
  if (offset >= strings_.size()) return {text_status::bad, {}};
  const auto *start = strings_.data() + offset;
  const auto *nul = static_cast<const uint8_t *>(std::memchr(start, 0, strings_.size() - offset));
  if (!nul) return {text_status::bad, {}};
  return {text_status::ok, std::string_view(reinterpret_cast<const char *>(start), nul - start)};
}

std::vector<uint8_t> listed_record(const share &s) {
  std::string strings;
  auto put = [&strings](const std::string &text) {
    const auto at = static_cast<uint32_t>(strings.size());
    strings.append(text.c_str(), text.size() + 1);
    return at;
  };
  cifs::share_record header{};
  header.share_type = s.type;
  header.name_space = s.name_space;
  header.encryption = s.encryption ? 1 : 0;
  header.folder_redirection = s.folder_redirection ? 1 : 0;
  header.atm_backup = s.atm_backup ? 1 : 0;
  header.name_offset = put(s.name);
  header.volume_name_offset = put(s.volume);
  header.comment_offset = put(s.comment);
  header.relative_path_offset = put(s.relative_path);
  header.absolute_path_offset = put(s.absolute_path);
  header.new_name_offset = cifs::absent_offset;
  header.open_files_count = s.open_files;
  header.strings_length = static_cast<uint32_t>(strings.size());

  std::vector<uint8_t> out(sizeof header + strings.size());
  std::memcpy(out.data(), &header, sizeof header);
  std::memcpy(out.data() + sizeof header, strings.data(), strings.size());
  return out;
}

}  // namespace cifssim
