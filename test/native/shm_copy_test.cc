#include "wire/shm_copy.h"

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

// Every path of the copy leaves no descriptor open: one that copies, one
// refused before the open, one that fails at the open, and one that fails
// after it (a FIFO, which must not block the open waiting for a writer).
// What each copies and each step's errno are checked by the library memory
// suite through the listings.
TEST(ShmCopy, LeavesNoDescriptorOpenAndTheObjectForTheCallerToRemove) {
  test_object object({0x01, 0x00, 0x00, 0x00, 'a', 'b', 'c', 0x00, 0xFE, 0xFF});
  auto copy = copy_shm_object(object.name.c_str(), 8, 1 << 20);
  ASSERT_EQ(copy.failed, shm_step::none);
  EXPECT_EQ(copy.size, 8u);
  EXPECT_EQ(copy_shm_object(object.name.c_str(), 0, 1 << 20).failed, shm_step::map);
  copy = copy_shm_object((object.name + "-missing").c_str(), 8, 1 << 20);
  EXPECT_EQ(copy.failed, shm_step::open);
  EXPECT_EQ(copy.error, ENOENT);
  test_object fifo({});
  ASSERT_EQ(unlink(fifo.path().c_str()), 0);
  ASSERT_EQ(mkfifo(fifo.path().c_str(), 0600), 0);
  copy = copy_shm_object(fifo.name.c_str(), 64, 1 << 20);
  EXPECT_EQ(copy.failed, shm_step::map);
  EXPECT_EQ(copy.error, ENODEV);
  EXPECT_EQ(descriptors_of(object.name) + descriptors_of(fifo.name), 0u);

  EXPECT_TRUE(object.exists());
  EXPECT_EQ(cifs::unlink_shm_object(object.name.c_str()), 0);
  EXPECT_FALSE(object.exists());
  EXPECT_EQ(cifs::unlink_shm_object(object.name.c_str()), ENOENT);
}

}  // namespace
