// Open files calls through the exported functions, as the module makes them:
// what they refuse, the result they leave for the caller, and the raw answers
// a test can inject.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>

#include <functional>
#include <string>
#include <vector>

#include "cifs_sim_status.h"
#include "open_files_probe.h"
#include "record_builder.h"

using simtest::filter_spec;
using simtest::list;
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

std::vector<uint32_t> ids(const simtest::listing &l) {
  std::vector<uint32_t> out;
  for (const auto &f : l.files) out.push_back(f.file_id);
  return out;
}

int32_t close_path(const std::string &path) { return CIFSLIB_CloseOpenFile(simtest::close_record(path).data()); }

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

TEST_F(OpenFiles, ACookieResumesOnlyTheListingThatIssuedIt) {
  const auto first = list({.volume = "DATA", .limit = 2});
  ASSERT_FALSE(first.cookie.empty());
  EXPECT_EQ(list({.volume = "home", .cookie = first.cookie}).status, CIFSSIM_BAD_COOKIE);
  EXPECT_EQ(list({.volume = "DATA", .cookie = "ofc-999999"}).status, CIFSSIM_BAD_COOKIE);
  EXPECT_EQ(ids(list({.volume = "DATA", .limit = 2, .cookie = ""})), ids(first)) << "an empty cookie starts over";
  cifssim_reset();
  EXPECT_EQ(list({.volume = "DATA", .cookie = first.cookie}).status, CIFSSIM_BAD_COOKIE);
}

// The object is left for the caller to remove, so a caller that forgets
// leaves it behind; it holds exactly the records the header counts.
TEST_F(OpenFiles, TheResultIsAHeaderAndAnObjectOfExactlyTheRecords) {
  void *header = nullptr;
  ASSERT_EQ(CIFSLIB_ListOpenFiles(request_page({.volume = "home", .limit = 1}).get(), &header), CIFSSIM_OK);
  cifs::open_files_result_header h;
  std::memcpy(&h, header, sizeof h);
  const char *area = static_cast<const char *>(header) + sizeof h;
  const std::string cookie = area + h.cookie_offset, name = area + h.shm_name_offset;
  std::free(header);
  EXPECT_EQ(h.file_count, 1u);
  EXPECT_EQ(h.cookie_offset, 0u);
  EXPECT_EQ(h.shm_name_offset, cookie.size() + 1);
  EXPECT_TRUE(name.starts_with(simtest::shm_prefix())) << name;
  EXPECT_EQ(shm_objects(), std::vector<std::string>{name}) << "the object waits for the caller";
  const auto object = simtest::read_object(name);
  EXPECT_EQ(object.size(), h.shm_size);
  const auto one = simtest::read_records(object, 1);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(object.size(), sizeof(cifs::open_file_record) + one[0].strings_length);
  ASSERT_EQ(shm_unlink(name.c_str()), 0);

  ASSERT_EQ(cifssim_set_open_files(nullptr, 0), CIFSSIM_OK);
  const auto none = list({.volume = "home"});
  EXPECT_EQ(none.header.file_count, 0u);
  EXPECT_EQ(none.header.shm_size, 0u);
  EXPECT_EQ(none.cookie, "");
  EXPECT_TRUE(none.unlinked) << "an empty page still has its (empty) object";
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
  ASSERT_EQ(cifssim_raw_open_files(0, head.data(), head.size(), name.c_str(), object.data(), object.size()),
            CIFSSIM_OK);
  void *out = nullptr;
  EXPECT_EQ(CIFSLIB_ListOpenFiles(request_page({.volume = "NOPE"}).get(), &out), CIFSSIM_OK);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(std::memcmp(out, head.data(), head.size()), 0);
  std::free(out);
  EXPECT_EQ(simtest::read_object(name), object);
  EXPECT_EQ(shm_unlink(name.c_str()), 0);
  EXPECT_EQ(list({}).header.file_count, 12u) << "the next call lists the model again";

  const int fd = shm_open(name.c_str(), O_CREAT | O_EXCL | O_RDWR, 0600);
  ASSERT_GE(fd, 0);
  close(fd);
  ASSERT_EQ(cifssim_raw_open_files(0, head.data(), head.size(), name.c_str(), nullptr, 0), CIFSSIM_OK);
  out = &out;
  EXPECT_EQ(CIFSLIB_ListOpenFiles(request_page({}).get(), &out), CIFSSIM_SHM_FAILURE) << "names are taken exclusively";
  EXPECT_EQ(out, &out);
  EXPECT_EQ(shm_objects(), std::vector<std::string>{name}) << "the object already there is left alone";
  shm_unlink(name.c_str());

  EXPECT_EQ(cifssim_raw_open_files(0, nullptr, 0, "raw", nullptr, 0), CIFSSIM_BAD_ARGUMENT);
  EXPECT_EQ(cifssim_raw_open_files(0, nullptr, 0, "/raw/x", nullptr, 0), CIFSSIM_BAD_ARGUMENT);
}

TEST_F(OpenFiles, AFailingCallCanStillHandOutAHeader) {
  const std::vector<uint8_t> head(24, 0);
  ASSERT_EQ(cifssim_raw_open_files(-7, head.data(), head.size(), nullptr, nullptr, 0), CIFSSIM_OK);
  void *out = nullptr;
  EXPECT_EQ(CIFSLIB_ListOpenFiles(request_page({}).get(), &out), -7);
  EXPECT_NE(out, nullptr);
  std::free(out);

  ASSERT_EQ(cifssim_raw_open_files(0, nullptr, 0, nullptr, nullptr, 0), CIFSSIM_OK);
  out = &out;
  EXPECT_EQ(CIFSLIB_ListOpenFiles(request_page({}).get(), &out), CIFSSIM_OK);
  EXPECT_EQ(out, nullptr) << "a success without a header";
}

TEST_F(OpenFiles, ListingNeedsAKnownNameAndTheVolumeForm) {
  EXPECT_EQ(list({.volume = "NOPE"}).status, CIFSSIM_NO_SUCH_VOLUME);
  EXPECT_EQ(list({.volume = std::nullopt}).status, CIFSSIM_NOT_IMPLEMENTED);
}

// A record bent in one field is refused, and the file it names stays open.
TEST_F(OpenFiles, BentCloseRecordsAreRefused) {
  const cifssim_open_file file{"home", 1, 0, 0, 0, "b.txt", "/HOME/b.txt", nullptr, nullptr};
  ASSERT_EQ(cifssim_set_open_files(&file, 1), CIFSSIM_OK);
  const std::pair<const char *, void (*)(std::vector<uint8_t> &)> bends[] = {
      {"an offset", [](auto &r) { simtest::write_u32(r, 24, 1); }},
      {"a strings length", [](auto &r) { simtest::write_u32(r, 36, 12); }},
      {"a session", [](auto &r) { simtest::write_u32(r, 0, 1); }},
      {"no NUL in the area", [](auto &r) { std::fill(r.begin() + 40, r.end(), 'x'); }},
  };
  for (const auto &[what, change] : bends) {
    auto record = simtest::close_record("/HOME/b.txt");
    change(record);
    EXPECT_EQ(CIFSLIB_CloseOpenFile(record.data()), CIFSSIM_BAD_RECORD) << what;
  }
  EXPECT_EQ(CIFSLIB_CloseOpenFile(nullptr), CIFSSIM_NULL_ARGUMENT);
  EXPECT_EQ(close_path("/home/b.txt"), CIFSSIM_NO_SUCH_OPEN_FILE) << "paths compare exactly";

  auto offset = simtest::name_record("home");
  auto h = offset.header();
  h.comment_offset = 1;
  offset.set_header(h);
  EXPECT_EQ(CIFSLIB_CloseAllOpenFiles(offset.get()), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(CIFSLIB_CloseAllOpenFiles(simtest::name_record("").get()), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(CIFSLIB_CloseAllOpenFiles(simtest::name_record("home", cifs::change_atm_backup).get()),
            CIFSSIM_BAD_RECORD);
  EXPECT_EQ(close_path("/HOME/b.txt"), CIFSSIM_OK);
}
