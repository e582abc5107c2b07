#include "mgmtclient/shm_copy.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

using cifs::copy_shm_object;
using cifs::shm_step;

// A uniquely named object the test creates as the library would, holding `content`.
struct test_object {
  std::string name;
  explicit test_object(const std::vector<uint8_t> &content) {
    static int serial = 0;
    name = "/cifs-native-test-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
    int fd = shm_open(name.c_str(), O_CREAT | O_EXCL | O_RDWR, 0600);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    close(fd);
  }
  ~test_object() { shm_unlink(name.c_str()); }  // in case the code under test did not
  std::string path() const { return "/dev/shm" + name; }
  bool exists() const { return access(path().c_str(), F_OK) == 0; }
};

// How many of this process's descriptors refer to the object.
size_t descriptors_of(const std::string &name) {
  size_t n = 0;
  DIR *dir = opendir("/proc/self/fd");
  while (dirent *entry = readdir(dir)) {
    char target[512];
    std::string link = std::string("/proc/self/fd/") + entry->d_name;
    ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    if (length > 0) n += std::string(target, static_cast<size_t>(length)).find("/dev/shm" + name) == 0;
  }
  closedir(dir);
  return n;
}

const std::vector<uint8_t> golden = {0x01, 0x00, 0x00, 0x00, 'a', 'b', 'c', 0x00, 0xFE, 0xFF};

std::vector<uint8_t> bytes_of(const cifs::shm_copy &copy) {
  return copy.size ? std::vector<uint8_t>(copy.bytes.get(), copy.bytes.get() + copy.size) : std::vector<uint8_t>();
}

// The copy holds the smallest of the header's size, the object's and the
// limit; the object stays for the caller to remove, and no descriptor is left.
TEST(ShmCopy, CopiesWhatBothTheHeaderAndTheObjectHold) {
  test_object object(golden);
  const struct {
    uint64_t size, limit;
    size_t expected;
    bool cut_at_limit;
  } cases[] = {{8, 1 << 20, 8, false}, {golden.size() + 100, 1 << 20, golden.size(), false}, {10, 4, 4, true},
               {UINT64_MAX, 1 << 20, golden.size(), false}};
  for (const auto &c : cases) {
    auto copy = copy_shm_object(object.name.c_str(), c.size, c.limit);
    ASSERT_EQ(copy.failed, shm_step::none) << c.size;
    EXPECT_EQ(bytes_of(copy), std::vector<uint8_t>(golden.begin(), golden.begin() + c.expected)) << c.size;
    EXPECT_EQ(copy.cut_at_limit, c.cut_at_limit) << c.size;
  }
  EXPECT_EQ(descriptors_of(object.name), 0u);
  EXPECT_TRUE(object.exists());
  EXPECT_EQ(cifs::unlink_shm_object(object.name.c_str()), 0);
  EXPECT_FALSE(object.exists());
  EXPECT_EQ(cifs::unlink_shm_object(object.name.c_str()), ENOENT);
}

// Names that do not name a regular object fail as a mapping would, at once
// (a FIFO must not block the open waiting for a writer), and keep no
// descriptor open; the suites check each step's errno through the listings.
TEST(ShmCopy, RefusesWhatIsNoRegularObjectAndKeepsNoDescriptor) {
  test_object fifo({});
  ASSERT_EQ(unlink(fifo.path().c_str()), 0);
  ASSERT_EQ(mkfifo(fifo.path().c_str(), 0600), 0);
  auto copy = copy_shm_object(fifo.name.c_str(), 64, 1 << 20);
  EXPECT_EQ(copy.failed, shm_step::map);
  EXPECT_EQ(copy.error, ENODEV);
  EXPECT_EQ(descriptors_of(fifo.name), 0u);

  test_object object(golden);
  copy = copy_shm_object(object.name.c_str(), 0, 1 << 20);
  EXPECT_EQ(copy.failed, shm_step::map);
  EXPECT_EQ(descriptors_of(object.name), 0u);
  copy = copy_shm_object((object.name + "-missing").c_str(), 8, 1 << 20);
  EXPECT_EQ(copy.failed, shm_step::open);
  EXPECT_EQ(copy.error, ENOENT);
}

}  // namespace
