#include "mgmtclient/shm_result.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <string>
#include <vector>

namespace {

using cifs::shm_result;
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
  ~test_object() { shm_unlink(name.c_str()); }  // in case the owner under test did not
  bool exists() const {
    int fd = shm_open(name.c_str(), O_RDONLY, 0);
    if (fd >= 0) close(fd);
    return fd >= 0;
  }
};

// How many of this process's mappings and descriptors refer to the object.
size_t mappings_of(const std::string &name) {
  std::ifstream maps("/proc/self/maps");
  size_t n = 0;
  for (std::string line; std::getline(maps, line);) n += line.find("/dev/shm" + name) != std::string::npos;
  return n;
}

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

TEST(ShmResult, MapsTheClaimedSizeAndRemovesEverythingOnRelease) {
  test_object object(golden);
  shm_result result(object.name.c_str(), 8);
  ASSERT_EQ(result.failed_step(), shm_step::none);
  EXPECT_EQ(result.error(), 0);
  ASSERT_EQ(result.bytes().size(), 8u) << "the header's size, not the object's";
  EXPECT_EQ(result.bytes().value_at<uint32_t>(0), 1u);
  EXPECT_EQ(result.bytes().text_at(4), std::optional<std::string_view>("abc"));
  EXPECT_EQ(mappings_of(object.name), 1u);
  EXPECT_EQ(descriptors_of(object.name), 1u);

  EXPECT_EQ(result.release(), 0);
  EXPECT_EQ(result.bytes().size(), 0u);
  EXPECT_EQ(mappings_of(object.name), 0u);
  EXPECT_EQ(descriptors_of(object.name), 0u);
  EXPECT_FALSE(object.exists());
  EXPECT_EQ(result.release(), 0) << "a second release does nothing";
}

TEST(ShmResult, ASizeBeyondTheObjectIsAMapFailure) {
  test_object object(golden);
  {
    shm_result result(object.name.c_str(), golden.size() + 1);
    EXPECT_EQ(result.failed_step(), shm_step::map);
    EXPECT_EQ(result.error(), EOVERFLOW);
    EXPECT_EQ(result.bytes().size(), 0u);
    EXPECT_EQ(mappings_of(object.name), 0u);
  }
  EXPECT_EQ(descriptors_of(object.name), 0u) << "the descriptor is closed after a failed map";
  EXPECT_FALSE(object.exists()) << "and the object still removed";
}

TEST(ShmResult, AMissingObjectFailsToOpenAndToUnlink) {
  test_object object({});
  const std::string missing = object.name + "-missing";
  shm_result result(missing.c_str(), 4);
  EXPECT_EQ(result.failed_step(), shm_step::open);
  EXPECT_EQ(result.error(), ENOENT);
  EXPECT_EQ(result.release(), ENOENT) << "the unlink is still attempted, and its failure reported";
  EXPECT_TRUE(object.exists()) << "nothing else is touched";

  shm_result unnamed(nullptr, 4);
  EXPECT_EQ(unnamed.failed_step(), shm_step::open);
  EXPECT_EQ(unnamed.error(), EINVAL);
  EXPECT_EQ(unnamed.release(), 0);
}

TEST(ShmResult, LeavingTheScopeReleases) {
  test_object object(golden);
  {
    std::string name = object.name;
    shm_result result(name.c_str(), golden.size());
    name.assign(name.size(), 'x');  // the owner keeps its own copy of the name
    ASSERT_EQ(result.failed_step(), shm_step::none);
  }
  EXPECT_EQ(mappings_of(object.name), 0u);
  EXPECT_EQ(descriptors_of(object.name), 0u);
  EXPECT_FALSE(object.exists());
}

}  // namespace
