// Lists open files through the library and reads the answer back the way the
// module does: header, shared memory object, records; then unlinks and frees.
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

struct listed_file {
  cifs::open_file_record header;
  std::string name, share, path, user, client;
};

// What a listing call handed out, read back the way the module reads it; the
// header is freed and the object unlinked.
struct fetched {
  int32_t status = -1;
  cifs::open_files_result_header header{};  // the invalid users header has the same layout
  std::string cookie, shm_name;
  std::vector<uint8_t> object;  // as large as the object really is
  bool unlinked = false;        // the object named by the header existed
};

struct listing : fetched {
  std::vector<listed_file> files;
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

inline std::vector<listed_file> read_records(const std::vector<uint8_t> &object, uint32_t count) {
  std::vector<listed_file> out;
  size_t at = 0;
  for (uint32_t i = 0; i < count && at + sizeof(cifs::open_file_record) <= object.size(); ++i) {
    listed_file f{};
    std::memcpy(&f.header, object.data() + at, sizeof f.header);
    const char *area = reinterpret_cast<const char *>(object.data() + at + sizeof f.header);
    f.name = area + f.header.file_name_offset;
    f.share = area + f.header.share_name_offset;
    f.path = area + f.header.full_path_offset;
    f.user = area + f.header.user_name_offset;
    f.client = area + f.header.client_address_offset;
    out.push_back(std::move(f));
    at += sizeof(cifs::open_file_record) + out.back().header.strings_length;
  }
  return out;
}

inline fetched fetch(int32_t (*call)(void *, void **), void *page) {
  fetched out;
  void *header = nullptr;
  out.status = call(page, &header);
  if (out.status != 0 || !header) {
    std::free(header);
    return out;
  }
  std::memcpy(&out.header, header, sizeof out.header);
  const char *area = static_cast<const char *>(header) + sizeof out.header;
  out.cookie = area + out.header.cookie_offset;
  out.shm_name = area + out.header.shm_name_offset;
  std::free(header);
  out.object = read_object(out.shm_name);
  out.unlinked = shm_unlink(out.shm_name.c_str()) == 0;
  return out;
}

inline listing list(request_page &page) {
  listing out{fetch(CIFSLIB_ListOpenFiles, page.get()), {}};
  out.files = read_records(out.object, out.header.file_count);
  return out;
}

inline listing list(const page_fields &fields) {
  request_page page(fields);
  return list(page);
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
