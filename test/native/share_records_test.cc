#include "wire/share_records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using bytes = std::vector<uint8_t>;

void put32(bytes &b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
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
  enum { record, at } kind;
  size_t index = 0;  // record: which of the records; at: a byte offset in the block
};

// A share list block: the count, one pointer per slot, then the records back
// to back. `storage` outlives the reader.
struct laid_block {
  bytes storage;
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
      const uint8_t *pointer =
          storage.data() + (slots[i].kind == slot::record ? offsets[slots[i].index] : slots[i].index);
      std::memcpy(storage.data() + 4 + 8 * i, &pointer, sizeof pointer);
    }
  }
  cifs::share_list_reader reader() const { return cifs::share_list_reader(storage.data(), storage.size()); }
};

TEST(ShareListReader, ReadsEveryFieldAndTextOfARecord) {
  laid_block block(2, {{slot::record, 0}, {slot::record, 1}}, {docs_record, sys_record});
  auto reader = block.reader();
  ASSERT_EQ(reader.count(), 2u);
  cifs::share_fault fault = cifs::share_fault::strings_too_long;
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

// The count is cut to the pointer slots that fit before the first record (or
// the block's end): record bytes are never taken for pointers.
TEST(ShareListReader, CountIsCutToThePointersThatFit) {
  laid_block block(1000000, {{slot::record, 0}}, {sys_record});
  auto reader = block.reader();
  EXPECT_EQ(reader.count(), 1u);
  ASSERT_TRUE(reader.share(0));
  EXPECT_EQ(reader.share(0)->name, "sys");
  // A slot pointing into the pointer array ends the slots there.
  laid_block into_slots(3, {{slot::at, 4}, {slot::record, 0}, {slot::record, 0}}, {docs_record});
  EXPECT_EQ(into_slots.reader().count(), 1u);
  EXPECT_EQ(cifs::share_list_reader(nullptr, 0).count(), 0u);
  EXPECT_EQ(cifs::share_list_reader(block.storage.data(), 3).count(), 0u) << "not even the count fits";
}

}  // namespace
