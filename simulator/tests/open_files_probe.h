// Calls a listing through the library and reads the answer back the way the
// module does: header and shared memory object; then unlinks and frees.
#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cifssim_control.h"
#include "mgmt/cifslib_calls.h"
#include "mgmtclient/open_file_records.h"
#include "open_files_builder.h"

namespace simtest {

// What a listing call handed out; the header is freed and the object unlinked.
struct fetched {
  int32_t status = -1;
  cifs::open_files_result_header header{};  // the invalid users header has the same layout
};

inline std::vector<uint8_t> read_object(const std::string &name) {
  const int fd = shm_open(name.c_str(), O_RDONLY, 0);
  if (fd < 0) return {};
  struct stat st {};
  std::vector<uint8_t> out;
  if (fstat(fd, &st) == 0 && st.st_size > 0) {
    out.resize(static_cast<size_t>(st.st_size));
    void *map = mmap(nullptr, out.size(), PROT_READ, MAP_SHARED, fd, 0);
    if (map != MAP_FAILED) {
      std::memcpy(out.data(), map, out.size());
      munmap(map, out.size());
    }
  }
  close(fd);
  return out;
}

inline fetched fetch(int32_t (*call)(void *, void **), void *page) {
  fetched out;
  void *header = nullptr;
  out.status = call(page, &header);
  if (out.status == 0 && header) {
    std::memcpy(&out.header, header, sizeof out.header);
    shm_unlink(static_cast<const char *>(header) + sizeof out.header + out.header.shm_name_offset);
  }
  return out;  // the header is the library's
}

inline std::string shm_prefix() {
  char prefix[64];
  cifssim_shm_prefix(prefix, sizeof prefix);
  return prefix;
}

inline std::vector<std::string> shm_objects() {
  std::vector<std::string> out;
  cifssim_visit_shm_objects([](void *ctx, const char *name) { static_cast<std::vector<std::string> *>(ctx)->push_back(name); },
                            &out);
  return out;
}

}  // namespace simtest
