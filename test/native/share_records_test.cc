#include "mgmtclient/share_records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using bytes = std::vector<uint8_t>;

void put32(bytes &b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

bytes record_bytes(const cifs::share_record *record) {
  uint32_t strings_length;
  std::memcpy(&strings_length, reinterpret_cast<const uint8_t *>(record) + 44, 4);
  const auto *p = reinterpret_cast<const uint8_t *>(record);
  return bytes(p, p + 48 + strings_length);
}

TEST(ShareConfigRecord, LaysOutEveryTextInOrderWithOffsets) {
  cifs::share_config_texts texts{"docs", "DATA", "pub/docs", std::string_view("hi"), std::string_view("papers")};
  auto record = cifs::build_share_config_record(texts);
  ASSERT_TRUE(record);
  bytes expected(48, 0);
  put32(expected, 4, 0x05);   // comment and new-name bits; the parser adds the rest
  put32(expected, 16, 0);     // name
  put32(expected, 20, 5);     // volume
  put32(expected, 24, 19);    // comment
  put32(expected, 28, 10);    // relative path
  put32(expected, 32, 0);     // absolute path: not sent
  put32(expected, 36, 22);    // new name
  put32(expected, 44, 29);
  const char area[] = "docs\0DATA\0pub/docs\0hi\0papers";  // 29 bytes with the last NUL
  expected.insert(expected.end(), area, area + sizeof area);
  EXPECT_EQ(record_bytes(record.get()), expected);
}

TEST(ShareConfigRecord, MarksAbsentCommentAndNewName) {
  auto record = cifs::build_share_config_record({"a", "V", "", {}, {}});
  ASSERT_TRUE(record);
  bytes got = record_bytes(record.get());
  ASSERT_EQ(got.size(), 48u + 5u);
  EXPECT_EQ(got[4], 0);
  for (size_t at : {24u, 36u}) EXPECT_EQ(got[at] & got[at + 1] & got[at + 2] & got[at + 3], 0xFF) << at;
  EXPECT_EQ(got[28], 4) << "the empty relative path still has its own NUL";
}

TEST(NameRecord, FitsNamesUpTo81Bytes) {
  cifs::name_share_record record;
  std::memset(&record, 0xAB, sizeof record);
  std::string longest(81, 'n');
  ASSERT_TRUE(cifs::fill_name_record(&record, longest));
  EXPECT_EQ(record.strings[81], '\0');
  bytes got(reinterpret_cast<uint8_t *>(&record), reinterpret_cast<uint8_t *>(&record) + 48);
  bytes expected(48, 0);
  put32(expected, 44, 82);
  EXPECT_EQ(got, expected) << "every header field but the strings length is zero";

  std::memset(&record, 0xAB, sizeof record);
  EXPECT_FALSE(cifs::fill_name_record(&record, std::string(82, 'n')));
  EXPECT_EQ(static_cast<uint8_t>(record.strings[0]), 0xAB) << "a refused name writes nothing";
}

// A list block laid out by hand: count, pointers, then the records.
struct block_builder {
  bytes data;
  std::vector<size_t> record_at;
  size_t add_record(uint16_t type, uint32_t name_space, std::vector<std::string> texts, uint32_t strings_length_override = 0) {
    size_t at = data.size();
    bytes rec(48, 0);
    rec[0] = static_cast<uint8_t>(type);
    put32(rec, 8, name_space);
    rec[12] = 1;
    uint32_t offset = 0;
    bytes area;
    for (size_t i = 0; i < texts.size(); ++i) {
      put32(rec, 16 + 4 * i, offset);
      area.insert(area.end(), texts[i].begin(), texts[i].end());
      area.push_back(0);
      offset += static_cast<uint32_t>(texts[i].size() + 1);
    }
    put32(rec, 44, strings_length_override ? strings_length_override : offset);
    rec.insert(rec.end(), area.begin(), area.end());
    data.insert(data.end(), rec.begin(), rec.end());
    return at;
  }
};

TEST(ShareListReader, ReadsRecordsAndCutsWhatLies) {
  // Header: count 3 and three pointers, filled in once the records are placed.
  block_builder b;
  b.data.resize(4 + 3 * 8);
  size_t first = b.add_record(0, 4, {"docs", "DATA", "hi", "pub", "/DATA/pub"});
  size_t second = b.add_record(2, 0, {"sys", "SYS"}, 4000);  // strings length runs past the block
  bytes &d = b.data;
  put32(d, second + 24, 3000);  // comment inside the claimed strings, past the block
  put32(d, 0, 3);
  const uint8_t *base = d.data();
  const uint8_t *pointers[3] = {base + first, nullptr, base + second};
  std::memcpy(d.data() + 4, pointers, sizeof pointers);

  cifs::share_list_reader reader(d.data(), d.size());
  ASSERT_EQ(reader.count(), 3u);
  auto one = reader.share(0);
  ASSERT_TRUE(one);
  EXPECT_EQ(one->name, "docs");
  EXPECT_EQ(one->comment, "hi");
  EXPECT_EQ(one->absolute_path, "/DATA/pub");
  EXPECT_EQ(one->encryption, 1);
  EXPECT_FALSE(reader.share(1)) << "a null record is skipped";
  auto three = reader.share(2);
  ASSERT_TRUE(three);
  EXPECT_EQ(three->name, "sys");
  EXPECT_EQ(three->comment, "") << "offsets past the block's end read as empty";
}

TEST(ShareListReader, CountIsCutToThePointersThatFit) {
  bytes d(4 + 8, 0);
  put32(d, 0, 1000000);
  cifs::share_list_reader reader(d.data(), d.size());
  EXPECT_EQ(reader.count(), 1u);
  EXPECT_FALSE(reader.share(0));
  EXPECT_EQ(cifs::share_list_reader(nullptr, 0).count(), 0u);
  EXPECT_EQ(cifs::share_list_reader(d.data(), 3).count(), 0u);
}

TEST(ShareListReader, RecordBytesAreNeverTakenForPointers) {
  block_builder b;
  b.data.resize(4 + 8);
  size_t first = b.add_record(0, 0, {"only"});
  put32(b.data, 0, 1000000);
  const uint8_t *pointer = b.data.data() + first;
  std::memcpy(b.data.data() + 4, &pointer, sizeof pointer);
  cifs::share_list_reader reader(b.data.data(), b.data.size());
  EXPECT_EQ(reader.count(), 1u);
  ASSERT_TRUE(reader.share(0));
  EXPECT_EQ(reader.share(0)->name, "only");
}

TEST(ShareRecordReader, UnterminatedOrOutOfRangeTextsReadAsEmpty) {
  bytes rec(48, 0);
  put32(rec, 16, 0);             // name at 0 but never terminated
  put32(rec, 20, 100);           // volume beyond the area
  put32(rec, 24, 0xFFFFFFFF);    // comment absent
  put32(rec, 44, 3);
  rec.insert(rec.end(), {'a', 'b', 'c'});
  auto view = cifs::read_share_record(rec.data(), rec.size());
  ASSERT_TRUE(view);
  EXPECT_EQ(view->name, "");
  EXPECT_EQ(view->volume_name, "");
  EXPECT_EQ(view->comment, "");
  EXPECT_FALSE(cifs::read_share_record(rec.data(), 47)) << "a header that does not fit is no record";
}

}  // namespace
