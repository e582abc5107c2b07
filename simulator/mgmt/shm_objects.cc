#include "shm_objects.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "cifs_sim_status.h"

namespace cifssim {
namespace {

// Where the system keeps the objects; FIFOs and directories of a raw result go there too.
constexpr const char *shm_directory = "/dev/shm";

std::string path_of(const std::string &name) { return std::string(shm_directory) + name; }

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

int32_t publish_raw_entry(const std::string &name, shm_kind kind, std::span<const uint8_t> content,
                          std::optional<uint64_t> size) {
  switch (kind) {
    case shm_kind::fifo: return mkfifo(path_of(name).c_str(), 0600) == 0 ? CIFSSIM_OK : CIFSSIM_SHM_FAILURE;
    case shm_kind::directory: return mkdir(path_of(name).c_str(), 0700) == 0 ? CIFSSIM_OK : CIFSSIM_SHM_FAILURE;
    case shm_kind::object: break;
  }
  if (const int32_t status = publish_object(name, content)) return status;
  if (!size) return CIFSSIM_OK;
  if (const int32_t status = resize_object(name, *size)) {
    (void)shm_unlink(name.c_str());  // cleanup: the failure is already reported
    return status;
  }
  return CIFSSIM_OK;
}

int32_t resize_object(const std::string &name, uint64_t size) {
  const int fd = shm_open(name.c_str(), O_RDWR, 0);
  if (fd < 0) return CIFSSIM_SHM_FAILURE;
  const bool ok = size <= static_cast<uint64_t>(INT64_MAX) && ftruncate(fd, static_cast<off_t>(size)) == 0;
  (void)close(fd);  // the name keeps the object
  return ok ? CIFSSIM_OK : CIFSSIM_SHM_FAILURE;
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

bool remove_entry(const std::string &name) {
  std::error_code ec;
  // Not shm_unlink: a raw result may have left a directory, with whatever a reader put in it.
  const auto removed = std::filesystem::remove_all(path_of(name), ec);
  return !ec && removed > 0;
}

size_t remove_objects() {
  size_t removed = 0;
  for (const auto &name : present_objects())
    if (remove_entry(name)) ++removed;
  return removed;
}

}  // namespace cifssim
