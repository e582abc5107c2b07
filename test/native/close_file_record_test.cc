#include "mgmtclient/close_file_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using bytes = std::vector<uint8_t>;

TEST(CloseFileRecord, HoldsPathsUpTo4096Bytes) {
  auto record = std::make_unique<cifs::close_file_record>();
  std::memset(record.get(), 0xAB, sizeof *record);
  ASSERT_TRUE(cifs::fill_close_file_record(record.get(), "/v/a.txt"));
  bytes expected(sizeof *record, 0);
  std::memcpy(expected.data() + 40, "/v/a.txt", 8);
  EXPECT_EQ(bytes(reinterpret_cast<uint8_t *>(record.get()), reinterpret_cast<uint8_t *>(record.get() + 1)), expected)
      << "only the path is set; every header field is zero";

  const std::string longest(4096, 'p');
  ASSERT_TRUE(cifs::fill_close_file_record(record.get(), longest));
  EXPECT_EQ(record->strings[4096], '\0');

  std::memset(record.get(), 0xAB, sizeof *record);
  EXPECT_FALSE(cifs::fill_close_file_record(record.get(), std::string(4097, 'p')));
  EXPECT_EQ(static_cast<uint8_t>(record->strings[0]), 0xAB) << "a refused path writes nothing";
}

}  // namespace
