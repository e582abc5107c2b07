// The connection record the library lists and fills in, and the security
// equivalence texts of its details call.
#pragma once

#include <cstdint>
#include <vector>

#include "connections_model.h"

namespace cifssim {

// Writes every byte of the record for `c` at `record`, which holds
// wire::connection::record_size bytes; the security equivalence count is the
// one the details call reports.
void write_connection_record(const model &m, const connection &c, uint8_t *record);

// Each text with its NUL, back to back.
std::vector<uint8_t> security_equivalence_texts(const connection &c);

}  // namespace cifssim
