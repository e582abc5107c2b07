// Open file calls of the management library: the open files of a share or
// volume one page at a time, closing one file by its full path, and closing
// every file of a share or volume.
#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "call_log.h"
#include "cifs_sim_status.h"
#include "cifslib_calls.h"
#include "malloc_block.h"
#include "mgmtclient/open_file_records.h"
#include "open_files_request.h"

namespace cifssim {
namespace {

// A raw answer's object is created even when its status is a failure, if
// the test asked for one.
int32_t hand_out_raw(const raw_open_files &raw, void **result_header) {
  if (raw.shm_name)
    if (const int32_t status = publish_object(*raw.shm_name, raw.shm_bytes)) return status;
  void *header = nullptr;
  if (raw.header && !(header = malloc_copy(*raw.header))) {
    if (raw.shm_name) (void)shm_unlink(raw.shm_name->c_str());  // cleanup: out of memory is the answer
    return CIFSSIM_OUT_OF_MEMORY;
  }
  *result_header = header;
  return raw.status;
}

// The cookie of a page is empty when no matching file follows its last one.
int32_t list_page(sim_state &st, const list_request &req, void **result_header) {
  const std::string_view volume = *req.volume;
  if (!names_share_or_volume(st.data, volume)) return CIFSSIM_NO_SUCH_VOLUME;
  uint64_t after = 0;
  if (req.cookie && !req.cookie->empty()) {
    const auto resume = st.open_files_cookies.resume_after(*req.cookie, volume);
    if (!resume) return CIFSSIM_BAD_COOKIE;
    after = *resume;
  }
  const file_page page = select_page(st.data, {.volume = volume,
                                               .filters = req.filters ? &*req.filters : nullptr,
                                               .after = after,
                                               .ignore = req.ignore_count,
                                               .limit = req.return_count});
  bytes records;
  for (const open_file *f : page.files) {
    const bytes record = open_file_record_bytes(*f);
    records.insert(records.end(), record.begin(), record.end());
  }
  const std::string name = next_shm_name();
  if (const int32_t status = publish_object(name, records)) return status;
  const bool more = page.more && !page.files.empty();
  const std::string cookie = more ? st.open_files_cookies.issue(volume, page.files.back()->order) : "";
  void *header = malloc_copy(
      result_header_bytes(static_cast<uint32_t>(page.files.size()), cookie, name, records.size()));
  if (!header) {
    (void)shm_unlink(name.c_str());  // cleanup: out of memory is the answer
    return CIFSSIM_OUT_OF_MEMORY;
  }
  *result_header = header;
  return CIFSSIM_OK;
}

// The record the module builds: 48 zero bytes but the strings length, and
// the volume name alone in the string area.
int32_t close_all(model &m, const record_view &r) {
  static const cifs::share_record zero{};
  cifs::share_record h = r.header();
  const text_field volume = r.text_at(0);
  const bool exact_area = volume.status == text_status::ok && h.strings_length == volume.text.size() + 1;
  h.strings_length = 0;
  if (std::memcmp(&h, &zero, sizeof h) != 0 || !exact_area || volume.text.empty()) return CIFSSIM_BAD_RECORD;
  if (!names_share_or_volume(m, volume.text)) return CIFSSIM_NO_SUCH_VOLUME;
  std::erase_if(m.open_files.files, [&](const open_file &f) { return is_on(m, f, volume.text); });
  return CIFSSIM_OK;
}

}  // namespace
}  // namespace cifssim

using namespace cifssim;

// The request is logged and failure rules match its volume name before it
// is checked; a queued raw answer stands in for the whole call.
extern "C" int32_t CIFSLIB_ListOpenFiles(void *request_page, void **result_header) {
  constexpr const char *call = "CIFSLIB_ListOpenFiles";
  if (!request_page) return refuse_null_argument(call);
  const size_t page_size = request_page_size();
  bytes page = capture_page(request_page, page_size);
  list_request req;
  const int32_t parsed = parse_list_request(page, page_size, req);
  const std::string volume = req.volume.value_or("");
  call_scope scope(call, volume, std::move(page), volume);
  if (auto injected = scope.injected()) return *injected;
  if (!result_header) return CIFSSIM_NULL_ARGUMENT;
  if (auto raw = std::exchange(scope.state().next_open_files, std::nullopt)) return hand_out_raw(*raw, result_header);
  if (parsed != CIFSSIM_OK) return parsed;
  // The open files of one connection come with the connection calls.
  if (!req.volume) return CIFSSIM_NOT_IMPLEMENTED;
  return list_page(scope.state(), req, result_header);
}

// Closes every open of the path, whichever client holds it.
extern "C" int32_t CIFSLIB_CloseOpenFile(void *close_record) {
  constexpr const char *call = "CIFSLIB_CloseOpenFile";
  if (!close_record) return refuse_null_argument(call);
  const auto *p = static_cast<const uint8_t *>(close_record);
  const bytes record(p, p + sizeof(cifs::close_file_record));
  const auto path = close_record_path(record);
  const std::string logged(path.value_or(""));
  call_scope scope(call, logged, record, logged);
  if (auto injected = scope.injected()) return *injected;
  if (!path) return CIFSSIM_BAD_RECORD;
  const auto closed =
      std::erase_if(scope.state().data.open_files.files, [&](const open_file &f) { return f.full_path == *path; });
  return closed ? CIFSSIM_OK : CIFSSIM_NO_SUCH_OPEN_FILE;
}

extern "C" int32_t CIFSLIB_CloseAllOpenFiles(cifs::share_record *record) {
  return run_record_call("CIFSLIB_CloseAllOpenFiles", record,
                         [](sim_state &st, const record_view &r) { return close_all(st.data, r); });
}
