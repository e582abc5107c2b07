#include "listing_result.h"

#include <sys/mman.h>

#include <algorithm>

#include "cifs_sim_status.h"
#include "shm_objects.h"
#include "string_record.h"
#include "wire_layout.h"

namespace cifssim {

namespace {
constexpr size_t empty_page_object_size = 4096;
}  // namespace

std::vector<uint8_t> result_header_bytes(uint32_t count, std::string_view cookie, std::string_view shm_name,
                                         uint64_t shm_size) {
  namespace layout = wire::result_header;
  string_record r(layout::header_size);
  const uint32_t cookie_at = r.add_text(cookie);
  const uint32_t name_at = r.add_text(shm_name);
  byte_writer h = r.header();
  h.u32(layout::count, count);
  h.u32(layout::cookie, cookie_at);
  h.u32(layout::object_name, name_at);
  h.u64(layout::object_size, shm_size);
  return std::move(r).finish(std::nullopt);
}

std::vector<uint8_t> slack_bytes(std::span<const uint8_t> record, size_t size) {
  std::vector<uint8_t> out;
  out.reserve(size);
  while (!record.empty() && out.size() < size) {
    const size_t n = std::min(record.size(), size - out.size());
    out.insert(out.end(), record.begin(), record.begin() + static_cast<std::ptrdiff_t>(n));
  }
  out.resize(size, 0);
  return out;
}

int32_t hand_out_listing(uint32_t count, std::vector<uint8_t> records, std::string_view cookie,
                         const listing_object &object, kept_memory &kept, void **result_header) {
  // A reader that maps the object cannot map 0 bytes, so an empty page
  // declares the whole object, which then holds at least a page.
  const std::vector<uint8_t> slack = slack_bytes(object.slack_record, object.slack);
  records.insert(records.end(), slack.begin(), slack.end());
  const size_t records_size = records.size() - slack.size();
  if (records.empty()) records.resize(empty_page_object_size, 0);
  const size_t declared = records_size ? records_size : records.size();
  const std::string name = next_shm_name();
  if (const int32_t status = publish_object(name, records)) return status;
  void *header = kept.copy(result_header_bytes(count, cookie, name, declared));
  const int32_t status = !header            ? CIFSSIM_OUT_OF_MEMORY
                         : object.shrink_to ? resize_object(name, *object.shrink_to)
                                            : CIFSSIM_OK;
  if (status != CIFSSIM_OK) {
    (void)shm_unlink(name.c_str());  // cleanup: the failure is the answer
    return status;
  }
  *result_header = header;
  return CIFSSIM_OK;
}

}  // namespace cifssim
