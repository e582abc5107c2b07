// Connection calls of the management library: the count, the whole list in
// one block, the details of one connection with its security equivalences,
// and the shares it has mapped.
#include "call_log.h"
#include "cifs_sim_status.h"
#include "cifslib_calls.h"
#include "connection_list.h"
#include "connection_record.h"
#include "wire_layout.h"

namespace cifssim {
namespace {

// The connection a number text names: CIFSSIM_BAD_CONNECTION_NUMBER for a
// text the module would never write, CIFSSIM_NO_SUCH_CONNECTION for one the
// model lacks (16-bit numbers are never matched modulo 65536).
int32_t named_connection(model &m, std::string_view text, connection *&out) {
  const auto number = parse_connection_number(text);
  if (!number) return CIFSSIM_BAD_CONNECTION_NUMBER;
  out = find_connection(m, *number);
  return out ? CIFSSIM_OK : CIFSSIM_NO_SUCH_CONNECTION;
}

// The caller's record must come zero-filled, as the module allocates it.
int32_t details(sim_state &st, std::string_view text, const bytes &received, void *record, char **texts) {
  if (received != bytes(wire::connection::record_size, 0)) return CIFSSIM_BAD_RECORD;
  connection *c = nullptr;
  if (const int32_t status = named_connection(st.data, text, c)) return status;
  // Kept by the library; none is a null pointer rather than an empty piece.
  const bytes sevs = security_equivalence_texts(*c);
  char *copy = sevs.empty() ? nullptr : reinterpret_cast<char *>(st.kept.copy(sevs));
  if (!sevs.empty() && !copy) return CIFSSIM_OUT_OF_MEMORY;
  write_connection_record(st.data, *c, static_cast<uint8_t *>(record));
  *texts = copy;
  return CIFSSIM_OK;
}

// The share records carry the connection's own open files on each share.
int32_t mapped(sim_state &st, std::string_view text, void **share_list_block) {
  connection *c = nullptr;
  if (const int32_t status = named_connection(st.data, text, c)) return status;
  std::vector<share> shares;
  for (const share *s : mapped_shares(st.data, *c)) {
    shares.push_back(*s);
    shares.back().open_files = open_files_of(st.data, c->number, s->name);
  }
  void *block = build_share_list(shares, st.choices.share_records_inside, st.kept);
  if (!block) return CIFSSIM_OUT_OF_MEMORY;
  *share_list_block = block;
  return CIFSSIM_OK;
}

}  // namespace
}  // namespace cifssim

using namespace cifssim;

extern "C" int32_t CIFSLIB_GetConnectionsCount(uint32_t *count) {
  constexpr auto call = library_call::CIFSLIB_GetConnectionsCount;
  return run_plain_call(call, [count](sim_state &st) -> int32_t {
    if (!count) return CIFSSIM_NULL_ARGUMENT;
    if (auto raw = take_raw_result(st, call)) return hand_out_raw(st, call, *raw, {count});
    *count = static_cast<uint32_t>(st.data.connections.size());
    return CIFSSIM_OK;
  });
}

extern "C" int32_t CIFSLIB_GetConnectionsList(void **connection_list_block) {
  constexpr auto call = library_call::CIFSLIB_GetConnectionsList;
  return run_plain_call(call, [connection_list_block](sim_state &st) -> int32_t {
    if (!connection_list_block) return CIFSSIM_NULL_ARGUMENT;
    if (auto raw = take_raw_result(st, call)) return hand_out_raw(st, call, *raw, {connection_list_block});
    void *block = build_connection_list(st.data, st.choices.connection_records_inside, st.kept);
    if (!block) return CIFSSIM_OUT_OF_MEMORY;
    *connection_list_block = block;
    return CIFSSIM_OK;
  });
}

// The number text and the record as received are logged; failure rules
// match the number text.
extern "C" int32_t CIFSLIB_GetConnectionDetails(const char *number_text, void *record, char **sev_texts) {
  constexpr auto call = library_call::CIFSLIB_GetConnectionDetails;
  const std::string text = number_text ? number_text : "";
  std::optional<bytes> received;
  if (record) received.emplace(static_cast<const uint8_t *>(record),
                               static_cast<const uint8_t *>(record) + wire::connection::record_size);
  call_scope scope(call, text, received, text);
  if (auto injected = scope.injected()) return *injected;
  if (!number_text || !record || !sev_texts) return CIFSSIM_NULL_ARGUMENT;
  sim_state &st = scope.state();
  if (auto raw = take_raw_result(st, call)) return hand_out_raw(st, call, *raw, {record, sev_texts});
  return details(st, text, *received, record, sev_texts);
}

extern "C" int32_t CIFSLIB_GetConnectionMappedShares(const char *number_text, void **share_list_block) {
  constexpr auto call = library_call::CIFSLIB_GetConnectionMappedShares;
  return run_text_call(call, number_text, [share_list_block](sim_state &st, std::string_view text) -> int32_t {
    if (!share_list_block) return CIFSSIM_NULL_ARGUMENT;
    if (auto raw = take_raw_result(st, call)) return hand_out_raw(st, call, *raw, {share_list_block});
    return mapped(st, text, share_list_block);
  });
}
