#include "share_record_codec.h"

#include <algorithm>
#include <cstring>

#include "byte_order.h"
#include "string_record.h"
#include "wire_layout.h"

namespace cifssim {

namespace layout = wire::share;

std::vector<uint8_t> capture_record(const void *record, size_t strings_limit) {
  const auto *p = static_cast<const uint8_t *>(record);
  const uint32_t declared = get_u32(std::span(p, layout::header_size), layout::strings_length);
  return std::vector<uint8_t>(p, p + layout::header_size + std::min<size_t>(declared, strings_limit));
}

std::optional<record_view> record_view::parse(std::span<const uint8_t> bytes) {
  if (bytes.size() < layout::header_size) return std::nullopt;
  const auto header = bytes.first(layout::header_size);
  share_fields f;
  f.type = get_u16(header, layout::type);
  f.change_mask = get_u32(header, layout::change_mask);
  f.name_space = get_u32(header, layout::name_space);
  f.encryption = get_u8(header, layout::encryption);
  f.folder_redirection = get_u8(header, layout::folder_redirection);
  f.atm_backup = get_u8(header, layout::atm_backup);
  f.name = get_u32(header, layout::name);
  f.volume_name = get_u32(header, layout::volume_name);
  f.comment = get_u32(header, layout::comment);
  f.relative_path = get_u32(header, layout::relative_path);
  f.absolute_path = get_u32(header, layout::absolute_path);
  f.new_name = get_u32(header, layout::new_name);
  f.open_files_count = get_u32(header, layout::open_files_count);
  f.strings_length = get_u32(header, layout::strings_length);
  const auto strings = bytes.subspan(layout::header_size);
  if (f.strings_length > strings.size()) return std::nullopt;
  return record_view(f, header, strings.first(f.strings_length));
}

text_field record_view::text_at(uint32_t offset) const {
  if (offset == wire::absent) return {text_status::absent, {}};
  if (offset >= strings_.size()) return {text_status::bad, {}};
  const auto *start = strings_.data() + offset;
  const auto *nul = static_cast<const uint8_t *>(std::memchr(start, 0, strings_.size() - offset));
  if (!nul) return {text_status::bad, {}};
  return {text_status::ok, std::string_view(reinterpret_cast<const char *>(start), nul - start)};
}

std::vector<uint8_t> listed_record(const share &s) {
  string_record r(layout::header_size);
  const uint32_t name = r.add_text(s.name);
  const uint32_t volume = r.add_text(s.volume);
  const uint32_t comment = r.add_text(s.comment);
  const uint32_t relative = r.add_text(s.relative_path);
  const uint32_t absolute = r.add_text(s.absolute_path);
  byte_writer h = r.header();
  h.u16(layout::type, s.type);
  h.u32(layout::name_space, s.name_space);
  h.u8(layout::encryption, s.encryption ? 1 : 0);
  h.u8(layout::folder_redirection, s.folder_redirection ? 1 : 0);
  h.u8(layout::atm_backup, s.atm_backup ? 1 : 0);
  h.u32(layout::name, name);
  h.u32(layout::volume_name, volume);
  h.u32(layout::comment, comment);
  h.u32(layout::relative_path, relative);
  h.u32(layout::absolute_path, absolute);
  h.u32(layout::new_name, wire::absent);
  h.u32(layout::open_files_count, s.open_files);
  return std::move(r).finish(layout::strings_length);
}

}  // namespace cifssim
