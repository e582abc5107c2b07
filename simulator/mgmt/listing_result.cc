#include "listing_result.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <system_error>

#include "cifs_sim_status.h"
#include "malloc_block.h"
#include "string_record.h"
#include "wire_layout.h"

namespace cifssim {
namespace {

constexpr const char *shm_directory = "/dev/shm";

bool fill(int fd, std::span<const uint8_t> content) {
  if (ftruncate(fd, static_cast<off_t>(content.size())) != 0) return false;
  if (content.empty()) return true;
  void *map = mmap(nullptr, content.size(), PROT_WRITE, MAP_SHARED, fd, 0);
  if (map == MAP_FAILED) return false;
  std::memcpy(map, content.data(), content.size());
  (void)munmap(map, content.size());  // the object keeps what was written
  return true;
}

}  // namespace

std::string shm_prefix() { return "/cifssim." + std::to_string(getpid()) + "."; }

std::string next_shm_name() {
  static std::atomic<uint64_t> serial{1};
  return shm_prefix() + std::to_string(serial++);
}

int32_t publish_object(const std::string &name, std::span<const uint8_t> content) {
  const int fd = shm_open(name.c_str(), O_CREAT | O_EXCL | O_RDWR, 0600);
  if (fd < 0) return CIFSSIM_SHM_FAILURE;
  const bool ok = fill(fd, content);
  (void)close(fd);  // the name keeps the object
  if (ok) return CIFSSIM_OK;
  (void)shm_unlink(name.c_str());  // cleanup: the failure is already reported
  return CIFSSIM_SHM_FAILURE;
}

std::vector<std::string> present_objects() {
  const std::string prefix = shm_prefix().substr(1);
  std::vector<std::string> out;
  std::error_code ec;
  for (const auto &entry : std::filesystem::directory_iterator(shm_directory, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix)) out.push_back("/" + name);
  }
  return out;
}

size_t remove_objects() {
  size_t removed = 0;
  for (const auto &name : present_objects())
    if (shm_unlink(name.c_str()) == 0) ++removed;
  return removed;
}

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

int32_t hand_out_listing(uint32_t count, std::span<const uint8_t> records, std::string_view cookie,
                         void **result_header) {
  const std::string name = next_shm_name();
  if (const int32_t status = publish_object(name, records)) return status;
  void *header = malloc_copy(result_header_bytes(count, cookie, name, records.size()));
  if (!header) {
    (void)shm_unlink(name.c_str());  // cleanup: out of memory is the answer
    return CIFSSIM_OUT_OF_MEMORY;
  }
  *result_header = header;
  return CIFSSIM_OK;
}

}  // namespace cifssim
