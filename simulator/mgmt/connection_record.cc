#include "connection_record.h"

#include "byte_order.h"
#include "model.h"
#include "wire_layout.h"

namespace cifssim {

void write_connection_record(const model &m, const connection &c, uint8_t *record) {
  namespace layout = wire::connection;
  byte_writer w(record, layout::record_size);
  w.fill(0, layout::record_size, 0);
  w.u16(layout::number, c.number);
  w.u16(layout::mapped_shares_count, static_cast<uint16_t>(mapped_shares(m, c).size()));
  w.u32(layout::open_files_count, open_files_of(m, c.number));
  w.u64(layout::login_time, c.login_time);
  // Their section refuses texts that would not leave room for the NUL.
  w.fixed_text(layout::client_address, layout::client_address_size, c.client_address);
  w.fixed_text(layout::user_name, layout::user_name_size, c.user_name);
  w.fixed_text(layout::type, layout::type_size, c.type);
  w.i32(layout::channels, c.channels);
  w.u8(layout::encrypted, c.encrypted ? 1 : 0);
  w.u32(layout::total_requests, c.total_requests);
  w.u64(layout::total_bytes_read, c.bytes_read);
  w.u64(layout::total_bytes_written, c.bytes_written);
  w.i32(layout::security_equivalence_count, static_cast<int32_t>(c.security_equivalences.size()));
  w.fixed_text(layout::status, layout::status_size, c.status);
  w.fixed_text(layout::privileges, layout::privileges_size, c.privileges);
}

std::vector<uint8_t> security_equivalence_texts(const connection &c) {
  std::vector<uint8_t> out;
  for (const auto &text : c.security_equivalences) out.insert(out.end(), text.c_str(), text.c_str() + text.size() + 1);
  return out;
}

}  // namespace cifssim
