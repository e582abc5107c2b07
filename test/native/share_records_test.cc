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

// Record bytes written out by hand: header (type, mask, name space, features,
// six offsets, open files, strings length), then the string area.
const bytes docs_record = {
    0x00, 0x00, 0x00, 0x00,  0x00, 0x00, 0x00, 0x00,  0x04, 0x00, 0x00, 0x00,  0x01, 0x00, 0x01, 0x00,
    0x00, 0x00, 0x00, 0x00,  0x05, 0x00, 0x00, 0x00,  0x0a, 0x00, 0x00, 0x00,  0x0d, 0x00, 0x00, 0x00,
    0x11, 0x00, 0x00, 0x00,  0xff, 0xff, 0xff, 0xff,  0x07, 0x00, 0x00, 0x00,  0x1b, 0x00, 0x00, 0x00,
    'd', 'o', 'c', 's', 0,  'D', 'A', 'T', 'A', 0,  'h', 'i', 0,  'p', 'u', 'b', 0,
    '/', 'D', 'A', 'T', 'A', '/', 'p', 'u', 'b', 0};
// Type 2, name "sys" only, strings length 4.
const bytes sys_record = {
    0x02, 0x00, 0x00, 0x00,  0x00, 0x00, 0x00, 0x00,  0x00, 0x00, 0x00, 0x00,  0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00,  0xff, 0xff, 0xff, 0xff,  0xff, 0xff, 0xff, 0xff,  0xff, 0xff, 0xff, 0xff,
    0xff, 0xff, 0xff, 0xff,  0xff, 0xff, 0xff, 0xff,  0x00, 0x00, 0x00, 0x00,  0x04, 0x00, 0x00, 0x00,
    's', 'y', 's', 0};

// Where one pointer slot of a hand-laid block points.
struct slot {
  enum { null, record, end, outside, at } kind;
  size_t index = 0;  // record: which of the records; at: a byte offset in the block
};

// A share list block: the count, one pointer per slot, then the records back
// to back. `storage` outlives the reader; `outside` is a record elsewhere.
struct laid_block {
  bytes storage;
  bytes outside = sys_record;
  laid_block(uint32_t count, const std::vector<slot> &slots, const std::vector<bytes> &records) {
    const size_t records_at = 4 + 8 * slots.size();
    std::vector<size_t> offsets;
    size_t size = records_at;
    for (const bytes &r : records) {
      offsets.push_back(size);
      size += r.size();
    }
    storage.assign(size, 0);
    put32(storage, 0, count);
    for (size_t i = 0; i < records.size(); ++i) std::copy(records[i].begin(), records[i].end(), storage.begin() + offsets[i]);
    for (size_t i = 0; i < slots.size(); ++i) {
      const uint8_t *pointer = nullptr;
      switch (slots[i].kind) {
        case slot::null: break;
        case slot::record: pointer = storage.data() + offsets[slots[i].index]; break;
        case slot::end: pointer = storage.data() + storage.size(); break;
        case slot::outside: pointer = outside.data(); break;
        case slot::at: pointer = storage.data() + slots[i].index; break;
      }
      std::memcpy(storage.data() + 4 + 8 * i, &pointer, sizeof pointer);
    }
  }
  cifs::share_list_reader reader() const { return cifs::share_list_reader(storage.data(), storage.size()); }
};

cifs::share_fault fault_of(const cifs::share_list_reader &reader, uint32_t i) {
  cifs::share_fault fault = cifs::share_fault::none;
  (void)reader.share(i, &fault);
  return fault;
}

TEST(ShareListReader, ReadsEveryFieldAndTextOfARecord) {
  laid_block block(2, {{slot::record, 0}, {slot::record, 1}}, {docs_record, sys_record});
  auto reader = block.reader();
  ASSERT_EQ(reader.count(), 2u);
  cifs::share_fault fault = cifs::share_fault::outside_block;
  auto docs = reader.share(0, &fault);
  ASSERT_TRUE(docs);
  EXPECT_EQ(fault, cifs::share_fault::none);
  EXPECT_EQ(docs->name, "docs");
  EXPECT_EQ(docs->volume_name, "DATA");
  EXPECT_EQ(docs->comment, "hi");
  EXPECT_EQ(docs->relative_path, "pub");
  EXPECT_EQ(docs->absolute_path, "/DATA/pub");
  EXPECT_EQ(docs->name_space, 4u);
  EXPECT_EQ(docs->encryption, 1);
  EXPECT_EQ(docs->folder_redirection, 0);
  EXPECT_EQ(docs->atm_backup, 1);
  EXPECT_EQ(docs->open_files_count, 7u);
  auto sys = reader.share(1);
  ASSERT_TRUE(sys);
  EXPECT_EQ(sys->share_type, 2);
  EXPECT_EQ(sys->name, "sys");
  EXPECT_EQ(sys->comment, "") << "an absent text reads as empty";
}

TEST(ShareListReader, SkipsRecordsThatDoNotLieInsideTheBlock) {
  bytes zero_length;
  laid_block block(6,
                   {{slot::null}, {slot::record, 0}, {slot::outside}, {slot::record, 1}, {slot::end}, {slot::record, 2}},
                   {docs_record, sys_record, zero_length});
  auto reader = block.reader();
  ASSERT_EQ(reader.count(), 6u);
  EXPECT_EQ(fault_of(reader, 0), cifs::share_fault::null_record);
  EXPECT_EQ(fault_of(reader, 1), cifs::share_fault::none);
  EXPECT_EQ(fault_of(reader, 2), cifs::share_fault::outside_block) << "a record kept elsewhere is never read";
  EXPECT_EQ(fault_of(reader, 3), cifs::share_fault::none);
  EXPECT_EQ(fault_of(reader, 4), cifs::share_fault::outside_block) << "the block's end is past it";
  EXPECT_EQ(fault_of(reader, 5), cifs::share_fault::outside_block) << "a zero-length last record starts at the end";
  for (uint32_t i : {0u, 2u, 4u, 5u}) EXPECT_FALSE(reader.share(i)) << i;
  EXPECT_EQ(cifs::share_fault_text(cifs::share_fault::null_record), nullptr) << "null records are skipped silently";
  EXPECT_NE(cifs::share_fault_text(cifs::share_fault::outside_block), nullptr);
}

TEST(ShareListReader, SkipsRecordsThatRunPastTheBlock) {
  bytes long_strings = sys_record;
  put32(long_strings, 44, 5);  // one byte more than the block holds
  bytes short_header(sys_record.begin(), sys_record.begin() + 47);
  laid_block past_strings(1, {{slot::record, 0}}, {long_strings});
  EXPECT_EQ(fault_of(past_strings.reader(), 0), cifs::share_fault::strings_past_block);
  laid_block past_header(1, {{slot::record, 0}}, {short_header});
  EXPECT_EQ(fault_of(past_header.reader(), 0), cifs::share_fault::header_past_block);
  bytes huge = sys_record;
  put32(huge, 44, 0xFFFFFFFF);
  laid_block wrapping(1, {{slot::record, 0}}, {huge});
  EXPECT_EQ(fault_of(wrapping.reader(), 0), cifs::share_fault::strings_past_block);
}

TEST(ShareListReader, AZeroLengthRecordInsideTheListReadsTheRecordAfterIt) {
  laid_block block(2, {{slot::record, 0}, {slot::record, 1}}, {bytes{}, sys_record});
  auto reader = block.reader();
  ASSERT_TRUE(reader.share(0));
  EXPECT_EQ(reader.share(0)->name, "sys") << "both slots point at the same bytes";
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
  laid_block block(1000000, {{slot::record, 0}}, {sys_record});
  auto reader = block.reader();
  EXPECT_EQ(reader.count(), 1u);
  ASSERT_TRUE(reader.share(0));
  EXPECT_EQ(reader.share(0)->name, "sys");
  // A slot pointing into the pointer array ends the slots there.
  laid_block into_slots(3, {{slot::at, 4}, {slot::record, 0}, {slot::record, 0}}, {docs_record});
  EXPECT_EQ(into_slots.reader().count(), 1u);
}

TEST(ShareRecordReader, UnterminatedOrOutOfRangeTextsReadAsEmpty) {
  bytes rec(48, 0);
  put32(rec, 16, 0);             // name at 0 but never terminated
  put32(rec, 20, 100);           // volume beyond the area
  put32(rec, 24, 0xFFFFFFFF);    // comment absent
  put32(rec, 44, 3);
  rec.insert(rec.end(), {'a', 'b', 'c', 0});  // the NUL lies past the strings length
  auto view = cifs::read_share_record(cifs::byte_reader(rec.data(), rec.size()), 0);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->name, "");
  EXPECT_EQ(view->volume_name, "");
  EXPECT_EQ(view->comment, "");
  EXPECT_FALSE(cifs::read_share_record(cifs::byte_reader(rec.data(), 47), 0)) << "a header that does not fit is no record";
}

}  // namespace
