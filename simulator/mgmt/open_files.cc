// Open file calls of the management library: the open files of a share or
// volume, or of a connection, one page at a time; closing one file by its
// full path; and closing every file of a share or volume.
#include <algorithm>
#include <cstring>

#include "call_log.h"
#include "cifs_sim_status.h"
#include "cifslib_calls.h"
#include "paged_listing.h"
#include "open_files_request.h"
#include "open_files_result.h"
#include "wire_layout.h"

namespace cifssim {
namespace {

// A connection form request names a connection of the model, as a volume
// form request names a share or volume.
int32_t list_page(sim_state &st, const list_request &req, void **result_header) {
  const listing_scope scope{req.volume, req.connection};
  if (scope.volume ? !names_share_or_volume(st.data, *scope.volume) : !find_connection(st.data, req.connection))
    return scope.volume ? CIFSSIM_NO_SUCH_VOLUME : CIFSSIM_NO_SUCH_CONNECTION;
  const auto keep = [&](const open_file &f) {
    return scope.covers(st.data, f) && (!req.filters || passes(*req.filters, f));
  };
  static const std::vector<uint8_t> slack = open_file_record_bytes(
      {.name = slack_name, .full_path = std::string("/") + slack_name, .user_name = slack_name});
  return hand_out_page(st, scope.cookie_scope(), req, st.data.open_files.files, keep, open_file_record_bytes, slack,
                       result_header);
}

// The record the module builds: 48 zero bytes but the strings length, and
// the volume name alone in the string area.
int32_t close_all(model &m, const record_view &r) {
  namespace layout = wire::share;
  const auto header = r.header_bytes();
  const text_field volume = r.text_at(0);
  const bool exact_area = volume.status == text_status::ok && r.fields().strings_length == volume.text.size() + 1;
  const bool zero_but_length =
      all_zero(header.first(layout::strings_length)) && all_zero(header.subspan(layout::strings_length + 4));
  if (!zero_but_length || !exact_area || volume.text.empty()) return CIFSSIM_BAD_RECORD;
  if (!names_share_or_volume(m, volume.text)) return CIFSSIM_NO_SUCH_VOLUME;
  std::erase_if(m.open_files.files, [&](const open_file &f) { return is_on(m, f, volume.text); });
  return CIFSSIM_OK;
}

}  // namespace
}  // namespace cifssim

using namespace cifssim;

// Logged, and matched by failure rules, by its volume or connection number.
extern "C" int32_t CIFSLIB_ListOpenFiles(void *request_page, void **result_header) {
  const auto name_of = [](const list_request &req) { return req.volume.value_or(std::to_string(req.connection)); };
  return run_page_call<list_request>(library_call::CIFSLIB_ListOpenFiles, request_page, result_header,
                                     wire::open_files_request::layout, parse_list_request, name_of, list_page);
}

// Closes every open of the path, whichever client holds it.
extern "C" int32_t CIFSLIB_CloseOpenFile(void *close_record) {
  constexpr auto call = library_call::CIFSLIB_CloseOpenFile;
  if (!close_record) return refuse_null_argument(call);
  const auto *p = static_cast<const uint8_t *>(close_record);
  const bytes record(p, p + wire::close_file::record_size);
  const auto path = close_record_path(record);
  const std::string logged(path.value_or(""));
  call_scope scope(call, logged, record, logged);
  if (auto injected = scope.injected()) return *injected;
  if (!path) return CIFSSIM_BAD_RECORD;
  const auto closed =
      std::erase_if(scope.state().data.open_files.files, [&](const open_file &f) { return f.full_path == *path; });
  return closed ? CIFSSIM_OK : CIFSSIM_NO_SUCH_OPEN_FILE;
}

extern "C" int32_t CIFSLIB_CloseAllOpenFiles(void *record) {
  return run_record_call(library_call::CIFSLIB_CloseAllOpenFiles, record,
                         [](sim_state &st, const record_view &r) { return close_all(st.data, r); });
}
