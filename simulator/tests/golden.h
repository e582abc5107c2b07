// Helpers for comparing what the simulated library hands out with bytes
// written by hand from the record tables. Offsets and values stay in the
// tests as literals; these only assemble and fetch bytes.
#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "cifssim_control.h"

namespace golden {

using bytes = std::vector<uint8_t>;

// Sets a section of the management library's model from the state file's
// lines for it, as the control addon does.
inline int32_t set_section(const char *name, std::string_view lines) {
  return cifssim_set_section(name, lines.data(), lines.size());
}

// `expected` with `values` written from byte `at` on.
inline void put(bytes &expected, size_t at, std::initializer_list<uint8_t> values) {
  std::copy(values.begin(), values.end(), expected.begin() + static_cast<std::ptrdiff_t>(at));
}
// The characters of `text`, without a NUL, from byte `at` on.
inline void put(bytes &expected, size_t at, std::string_view text) {
  std::copy(text.begin(), text.end(), expected.begin() + static_cast<std::ptrdiff_t>(at));
}
// Texts laid one after the other, each with its NUL, as a string area.
inline bytes texts(std::initializer_list<std::string_view> list) {
  bytes out;
  for (std::string_view t : list) {
    out.insert(out.end(), t.begin(), t.end());
    out.push_back(0);
  }
  return out;
}
inline bytes join(bytes head, const bytes &tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

inline bytes at(const void *p, size_t n) {
  const auto *b = static_cast<const uint8_t *>(p);
  return bytes(b, b + n);
}
// The 8-byte pointer stored at `p`.
inline const uint8_t *pointer_at(const void *p) {
  const uint8_t *out = nullptr;
  std::memcpy(&out, p, sizeof out);
  return out;
}

// The whole of a shared memory object, as its size says.
inline bytes object(const std::string &name) {
  bytes out;
  const int fd = shm_open(name.c_str(), O_RDONLY, 0);
  struct stat st {};
  if (fd < 0) return out;
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

// The size of a shared memory object, without reading it.
inline size_t object_size(const std::string &name) {
  const int fd = shm_open(name.c_str(), O_RDONLY, 0);
  struct stat st {};
  const bool known = fd >= 0 && fstat(fd, &st) == 0;
  if (fd >= 0) close(fd);
  return known ? static_cast<size_t>(st.st_size) : 0;
}

// A zero-filled request page of the size the module allocates.
inline bytes page() { return bytes(static_cast<size_t>(sysconf(_SC_PAGESIZE)), 0); }

}  // namespace golden
