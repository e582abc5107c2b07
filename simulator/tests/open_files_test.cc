// Open files calls through the exported functions, as the module makes them:
// what they refuse, raw answers, and the objects left for the caller.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>

#include <functional>
#include <string>
#include <vector>

#include "cifs_sim_status.h"
#include "open_files_probe.h"
#include "record_builder.h"
#include "sim_probe.h"

using simtest::page_fields;
using simtest::request_page;
using simtest::shm_objects;

namespace {

constexpr uint32_t type_filter = cifs::filter_type_type;
constexpr uint32_t name_filter = cifs::filter_type_search_name;

// Every test must leave no shared memory object behind: the probe unlinks
// what it was handed, so anything left was the library's doing.
class OpenFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    cifssim_reset();
    cifssim_remove_shm_objects();
  }
  void TearDown() override {
    EXPECT_EQ(shm_objects(), std::vector<std::string>{});
    cifssim_remove_shm_objects();
    cifssim_reset();
  }
};

// A raw answer of the listing: the header and an object.
int32_t raw_open_files(const std::vector<uint8_t> &header, const char *shm_name,
                       const std::vector<uint8_t> &object = {}) {
  const cifssim_out out = simtest::bytes_out(header);
  const cifssim_shm shm{shm_name, object.data(), object.size(), CIFSSIM_SHM_OBJECT, -1};
  return cifssim_raw_result("CIFSLIB_ListOpenFiles", 0, &out, 1, &shm);
}

// Bends of one field of a page, counted from the page, the filter block or
// its first entry.
using bend = std::function<void(request_page &)>;
enum class at { page, block, entry };

size_t base(const request_page &p, at where) {
  return where == at::page ? 0 : where == at::block ? p.block_at() : p.first_entry_at();
}
bend set_u32(at where, size_t field, uint32_t value) {
  return [=](request_page &p) { simtest::write_u32(p.bytes(), base(p, where) + field, value); };
}
bend add_u32(at where, size_t field, int delta) {
  return [=](request_page &p) {
    const size_t pos = base(p, where) + field;
    simtest::write_u32(p.bytes(), pos, simtest::read_u32(p.bytes(), pos) + static_cast<uint32_t>(delta));
  };
}
bend add_u8(at where, size_t field, int delta) {
  return [=](request_page &p) { p.bytes()[base(p, where) + field] += static_cast<uint8_t>(delta); };
}

}  // namespace

TEST_F(OpenFiles, MalformedRequestPagesAreRefusedByTheKindOfFault) {
  const page_fields filtered{.match_type = cifs::match_type_any,
                             .filters = {{type_filter, {"pdf", "txt"}}, {name_filter, {"rep"}}}};
  const auto page_size = static_cast<uint32_t>(request_page(filtered).bytes().size());
  struct bend_case {
    const char *what;
    page_fields fields;
    bend change;
    int32_t status;
  };
  const bend keep = [](request_page &) {};
  const std::vector<bend_case> cases = {
      {"strings length past the page", {}, set_u32(at::page, 24, page_size - 27), CIFSSIM_BAD_REQUEST},
      {"volume offset outside the area", {}, set_u32(at::page, 16, 5), CIFSSIM_BAD_REQUEST},
      {"a volume and a connection", {.connection = 1}, keep, CIFSSIM_BAD_REQUEST},
      {"volume NUL outside the area", {}, add_u32(at::page, 24, -1), CIFSSIM_BAD_REQUEST},
      {"volume over 255 bytes", {.volume = std::string(256, 'v')}, keep, CIFSSIM_BAD_REQUEST},
      {"cookie over 31 bytes", {.cookie = std::string(32, 'c')}, keep, CIFSSIM_BAD_REQUEST},
      {"cookie offset outside the area", {.cookie = "c"}, set_u32(at::page, 12, 7), CIFSSIM_BAD_REQUEST},
      {"block header cut by the area", filtered,
       [](request_page &p) { simtest::write_u32(p.bytes(), 20, p.strings_length() - 11); }, CIFSSIM_BAD_REQUEST},
      {"reserved byte of the block", filtered, add_u8(at::block, 2, 1), CIFSSIM_BAD_REQUEST},
      {"match type 0", filtered, set_u32(at::block, 4, 0), CIFSSIM_BAD_FILTER},
      {"match type 4", filtered, set_u32(at::block, 4, 4), CIFSSIM_BAD_FILTER},
      {"entries length past the area", filtered, add_u32(at::block, 8, 1), CIFSSIM_BAD_REQUEST},
      {"filter count above the entries", filtered, add_u8(at::block, 0, 1), CIFSSIM_BAD_REQUEST},
      {"an entry beyond the filter count", filtered, add_u8(at::block, 0, -1), CIFSSIM_BAD_REQUEST},
      {"filter type 3", filtered, set_u32(at::entry, 0, 3), CIFSSIM_BAD_FILTER},
      {"filterBy of the other type",
       {.match_type = cifs::match_type_all, .filters = {{type_filter, {"pdf"}, "search-name"}}}, keep,
       CIFSSIM_BAD_FILTER},
      {"pattern count above the strings", filtered, add_u8(at::entry, 4, 1), CIFSSIM_BAD_REQUEST},
      {"pattern count below the strings", filtered, add_u8(at::entry, 4, -1), CIFSSIM_BAD_REQUEST},
      {"reserved u32 of an entry", filtered, set_u32(at::entry, 8, 1), CIFSSIM_BAD_REQUEST},
      {"patterns offset off by one", filtered, add_u32(at::entry, 12, 1), CIFSSIM_BAD_REQUEST},
      {"entry strings past the entries", filtered, add_u32(at::entry, 16, 200), CIFSSIM_BAD_REQUEST},
      {"type pattern over 7 bytes", {.match_type = cifs::match_type_all, .filters = {{type_filter, {"abcdefgh"}}}},
       keep, CIFSSIM_BAD_FILTER},
      {"search pattern over 767 bytes",
       {.match_type = cifs::match_type_all, .filters = {{name_filter, {std::string(768, 's')}}}}, keep,
       CIFSSIM_BAD_FILTER},
      // At their bounds the texts pass the checks and meet the model.
      {"volume of 255 bytes", {.volume = std::string(255, 'v')}, keep, CIFSSIM_NO_SUCH_VOLUME},
      {"cookie of 31 bytes", {.cookie = std::string(31, 'c')}, keep, CIFSSIM_BAD_COOKIE},
      {"patterns at their limits",
       {.volume = "NOPE",
        .match_type = cifs::match_type_all,
        .filters = {{type_filter, {"abcdefg"}}, {name_filter, {std::string(767, 's')}}}},
       keep, CIFSSIM_NO_SUCH_VOLUME},
  };
  for (const auto &c : cases) {
    request_page p(c.fields);
    c.change(p);
    void *header = &header;
    EXPECT_EQ(CIFSLIB_ListOpenFiles(p.get(), &header), c.status) << c.what;
    EXPECT_EQ(header, &header) << c.what << ": the out-parameter is written on success only";
  }
  EXPECT_EQ(CIFSLIB_ListOpenFiles(nullptr, nullptr), CIFSSIM_NULL_ARGUMENT);
  EXPECT_EQ(CIFSLIB_ListOpenFiles(request_page({}).get(), nullptr), CIFSSIM_NULL_ARGUMENT);
}

TEST_F(OpenFiles, TheObjectOfAListingIsLeftForTheCaller) {
  void *header = nullptr;
  ASSERT_EQ(CIFSLIB_ListOpenFiles(request_page({.volume = "SYS", .limit = 1}).get(), &header), CIFSSIM_OK);
  cifs::open_files_result_header h;
  std::memcpy(&h, header, sizeof h);
  const std::string name = static_cast<const char *>(header) + sizeof h + h.shm_name_offset;
  EXPECT_TRUE(name.starts_with(simtest::shm_prefix())) << name;
  EXPECT_EQ(shm_objects(), std::vector<std::string>{name}) << "the object waits for the caller";
  EXPECT_EQ(simtest::read_object(name).size(), h.shm_size + 4096) << "the records, then the slack";
  ASSERT_EQ(shm_unlink(name.c_str()), 0);
}

TEST_F(OpenFiles, RawAnswersAreHandedOutOnceAsGiven) {
  const std::string name = simtest::shm_prefix() + "raw";
  // A header that lies: 99 files in an object it says is 4096 bytes.
  std::vector<uint8_t> head(24, 0);
  simtest::write_u32(head, 0, 99);
  simtest::write_u32(head, 8, 1);
  head[16 + 1] = 0x10;
  head.push_back(0);
  head.insert(head.end(), name.begin(), name.end());
  head.push_back(0);
  const std::vector<uint8_t> object = {1, 2, 3, 4, 5};
  ASSERT_EQ(raw_open_files(head, name.c_str(), object), CIFSSIM_OK);
  void *out = nullptr;
  EXPECT_EQ(CIFSLIB_ListOpenFiles(request_page({.volume = "NOPE"}).get(), &out), CIFSSIM_OK);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(std::memcmp(out, head.data(), head.size()), 0);
  EXPECT_EQ(simtest::read_object(name), object);
  EXPECT_EQ(shm_unlink(name.c_str()), 0);
  request_page again({});
  EXPECT_EQ(simtest::fetch(CIFSLIB_ListOpenFiles, again.get()).header.file_count, 12u)
      << "the next call lists the model again";

  const int fd = shm_open(name.c_str(), O_CREAT | O_EXCL | O_RDWR, 0600);
  ASSERT_GE(fd, 0);
  close(fd);
  ASSERT_EQ(raw_open_files(head, name.c_str()), CIFSSIM_OK);
  out = &out;
  EXPECT_EQ(CIFSLIB_ListOpenFiles(request_page({}).get(), &out), CIFSSIM_SHM_FAILURE) << "names are taken exclusively";
  EXPECT_EQ(out, &out);
  EXPECT_EQ(shm_objects(), std::vector<std::string>{name}) << "the object already there is left alone";
  shm_unlink(name.c_str());
}

TEST_F(OpenFiles, BentCloseRecordsAreRefused) {
  using bytes = std::vector<uint8_t>;
  const std::vector<std::pair<const char *, std::function<void(bytes &)>>> bends = {
      {"reserved field", [](bytes &r) { simtest::write_u32(r, 24, 1); }},
      {"path offset", [](bytes &r) { simtest::write_u32(r, 36, 12); }},
      {"record header", [](bytes &r) { simtest::write_u32(r, 0, 1); }},
      {"path without its NUL", [](bytes &r) { std::fill(r.begin() + 40, r.end(), 'x'); }},
  };
  for (const auto &[what, change] : bends) {
    auto record = simtest::close_record("/HOME/b.txt");
    change(record);
    EXPECT_EQ(CIFSLIB_CloseOpenFile(record.data()), CIFSSIM_BAD_RECORD) << what;
  }
  EXPECT_EQ(CIFSLIB_CloseOpenFile(nullptr), CIFSSIM_NULL_ARGUMENT);

  auto offset = simtest::name_record("home");
  auto h = offset.header();
  h.comment_offset = 1;
  offset.set_header(h);
  EXPECT_EQ(CIFSLIB_CloseAllOpenFiles(offset.get()), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(CIFSLIB_CloseAllOpenFiles(simtest::name_record("").get()), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(CIFSLIB_CloseAllOpenFiles(simtest::name_record("home", cifs::change_atm_backup).get()),
            CIFSSIM_BAD_RECORD);
}
