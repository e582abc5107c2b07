// Open files calls through the exported functions, as the module makes them.
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

// Files named f0.. on `share`, with file ids 0..; texts kept alive here.
class file_set {
 public:
  file_set &add(const char *share, std::string name, std::string path = "", uint32_t session = 1) {
    names_.push_back(std::move(name));
    paths_.push_back(std::move(path));
    shares_.push_back(share);
    sessions_.push_back(session);
    return *this;
  }
  file_set &add_many(const char *share, int count) {
    for (int i = 0; i < count; ++i) add(share, "f" + std::to_string(size()) + ".txt");
    return *this;
  }
  size_t size() const { return names_.size(); }
  int32_t apply() const {
    std::vector<cifssim_open_file> files;
    for (size_t i = 0; i < names_.size(); ++i)
      files.push_back({shares_[i], sessions_[i], static_cast<uint32_t>(i), 0, 0, names_[i].c_str(),
                       paths_[i].empty() ? nullptr : paths_[i].c_str(), nullptr, nullptr});
    return cifssim_set_open_files(files.data(), files.size());
  }

 private:
  std::vector<std::string> names_, paths_;
  std::vector<const char *> shares_;
  std::vector<uint32_t> sessions_;
};

std::vector<uint32_t> ids(const simtest::listing &l) {
  std::vector<uint32_t> out;
  for (const auto &f : l.files) out.push_back(f.header.file_id);
  return out;
}

std::vector<std::string> names(const simtest::listing &l) {
  std::vector<std::string> out;
  for (const auto &f : l.files) out.push_back(f.name);
  return out;
}

// A raw answer of the listing: the header (null: a null pointer) and an object.
int32_t raw_open_files(int32_t status, const std::vector<uint8_t> *header, const char *shm_name = nullptr,
                       const std::vector<uint8_t> &object = {}) {
  const cifssim_out out = header ? simtest::bytes_out(*header) : simtest::null_out();
  return cifssim_raw_result("CIFSLIB_ListOpenFiles", status, &out, 1, shm_name, object.data(), object.size());
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

TEST_F(OpenFiles, TheCallLogKeepsTheWholeStringArea) {
  request_page filtered({.cookie = "ofc-1", .match_type = cifs::match_type_any, .filters = {{name_filter, {"x"}}}});
  request_page overlong({});
  simtest::write_u32(overlong.bytes(), 24, static_cast<uint32_t>(overlong.bytes().size()));
  void *header = nullptr;
  EXPECT_EQ(CIFSLIB_ListOpenFiles(filtered.get(), &header), CIFSSIM_BAD_COOKIE);
  EXPECT_EQ(CIFSLIB_ListOpenFiles(overlong.get(), &header), CIFSSIM_BAD_REQUEST);
  const auto calls = simtest::mgmt_calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].text, "DATA");
  const auto &sent = filtered.bytes();
  EXPECT_EQ(calls[0].record, std::vector<uint8_t>(sent.begin(), sent.begin() + 28 + filtered.strings_length()));
  EXPECT_EQ(calls[1].record.size(), overlong.bytes().size()) << "logged up to the end of the page";
}

TEST_F(OpenFiles, PagingWithTheCookieListsEveryFileOnce) {
  ASSERT_EQ(file_set().add_many("home", 25).add_many("SYS", 3).apply(), CIFSSIM_OK);
  std::vector<uint32_t> seen;
  std::optional<std::string> cookie;
  int pages = 0;
  do {
    const auto page = list({.volume = "home", .limit = 7, .cookie = cookie});
    ASSERT_EQ(page.status, CIFSSIM_OK);
    ASSERT_LE(page.files.size(), 7u);
    for (uint32_t id : ids(page)) seen.push_back(id);
    cookie = page.cookie;
  } while (!cookie->empty() && ++pages < 10);
  EXPECT_EQ(pages, 3) << "the fourth page ends the listing with an empty cookie";
  std::vector<uint32_t> all(25);
  for (uint32_t i = 0; i < all.size(); ++i) all[i] = i;
  EXPECT_EQ(seen, all);
}

TEST_F(OpenFiles, ACookieSurvivesClosesAndComposesWithTheIgnoreCount) {
  ASSERT_EQ(file_set().add_many("home", 12).apply(), CIFSSIM_OK);
  const auto first = list({.volume = "home", .limit = 4});
  ASSERT_EQ(ids(first), (std::vector<uint32_t>{0, 1, 2, 3}));
  ASSERT_EQ(close_path("/HOME/users/f1.txt"), CIFSSIM_OK);
  ASSERT_EQ(close_path("/HOME/users/f5.txt"), CIFSSIM_OK);
  // From after file 3: 4 and 6 are skipped (5 is gone), then three files.
  const auto second = list({.volume = "HOME", .ignore = 2, .limit = 3, .cookie = first.cookie});
  EXPECT_EQ(ids(second), (std::vector<uint32_t>{7, 8, 9}));
  const auto rest = list({.volume = "home", .cookie = second.cookie});
  EXPECT_EQ(ids(rest), (std::vector<uint32_t>{10, 11}));
  EXPECT_EQ(rest.cookie, "");
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

TEST_F(OpenFiles, FiltersSelectByTypeOrNameUnderEachMatchType) {
  ASSERT_EQ(file_set()
                .add("home", "a.pdf", "/HOME/reports/a.pdf")
                .add("home", "b.PDF", "/HOME/b.PDF")
                .add("home", "c.txt", "/HOME/Reports/c.txt")
                .add("home", "README", "/HOME/README")
                .add("home", ".pdf", "/HOME/.pdf")
                .apply(),
            CIFSSIM_OK);
  using texts = std::vector<std::string>;
  struct filter_case {
    uint32_t match;
    std::vector<filter_spec> filters;
    texts expected;
  };
  const std::vector<filter_case> cases = {
      {cifs::match_type_all, {{type_filter, {"pdf"}}}, {"a.pdf", "b.PDF"}},
      {cifs::match_type_all, {{type_filter, {"pdf"}}, {name_filter, {"report"}}}, {"a.pdf"}},
      {cifs::match_type_any, {{type_filter, {"txt"}}, {name_filter, {"readme"}}}, {"c.txt", "README"}},
      {cifs::match_type_none, {{type_filter, {"pdf", "txt"}}}, {"README", ".pdf"}},
      {cifs::match_type_any, {{type_filter, {""}}}, {"README", ".pdf"}},
      {cifs::match_type_all, {{type_filter, {}}}, {}},
      {cifs::match_type_any, {}, {}},
      {cifs::match_type_all, {}, {"a.pdf", "b.PDF", "c.txt", "README", ".pdf"}},
      {cifs::match_type_none, {}, {"a.pdf", "b.PDF", "c.txt", "README", ".pdf"}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const auto page = list({.volume = "home", .match_type = cases[i].match, .filters = cases[i].filters});
    EXPECT_EQ(page.status, CIFSSIM_OK) << "case " << i;
    EXPECT_EQ(names(page), cases[i].expected) << "case " << i;
  }
}

TEST_F(OpenFiles, TheResultIsAHeaderAndAnObjectOfExactlyTheRecords) {
  ASSERT_EQ(file_set().add("SYS", "one.log", "/SYS/one.log", 0x80000001).add("SYS", "second-file.dat").apply(),
            CIFSSIM_OK);
  void *header = nullptr;
  ASSERT_EQ(CIFSLIB_ListOpenFiles(request_page({.volume = "SYS", .limit = 1}).get(), &header), CIFSSIM_OK);
  cifs::open_files_result_header h;
  std::memcpy(&h, header, sizeof h);
  const char *area = static_cast<const char *>(header) + sizeof h;
  const std::string cookie = area + h.cookie_offset, name = area + h.shm_name_offset;
  std::free(header);
  EXPECT_EQ(h.cookie_offset, 0u);
  EXPECT_EQ(h.shm_name_offset, cookie.size() + 1);
  EXPECT_FALSE(cookie.empty());
  EXPECT_TRUE(name.starts_with(simtest::shm_prefix())) << name;
  EXPECT_EQ(shm_objects(), std::vector<std::string>{name}) << "the object waits for the caller";
  const auto object = simtest::read_object(name);
  EXPECT_EQ(object.size(), h.shm_size);
  const auto one = simtest::read_records(object, 1);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].header.session_id, 0x80000001u);
  EXPECT_EQ(object.size(), sizeof(cifs::open_file_record) + one[0].header.strings_length);
  ASSERT_EQ(shm_unlink(name.c_str()), 0);

  const auto both = list({.volume = "SYS"});
  ASSERT_EQ(both.files.size(), 2u);
  EXPECT_NE(both.shm_name, name);
  EXPECT_EQ(both.object.size(), 2 * sizeof(cifs::open_file_record) + both.files[0].header.strings_length +
                                    both.files[1].header.strings_length);
  const auto &second = both.files[1];
  EXPECT_EQ(std::vector<std::string>({second.name, second.share, second.path, second.user, second.client}),
            std::vector<std::string>({"second-file.dat", "SYS", "/SYS/second-file.dat", "", ""}));

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
  ASSERT_EQ(raw_open_files(0, &head, name.c_str(), object), CIFSSIM_OK);
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
  ASSERT_EQ(raw_open_files(0, &head, name.c_str()), CIFSSIM_OK);
  out = &out;
  EXPECT_EQ(CIFSLIB_ListOpenFiles(request_page({}).get(), &out), CIFSSIM_SHM_FAILURE) << "names are taken exclusively";
  EXPECT_EQ(out, &out);
  EXPECT_EQ(shm_objects(), std::vector<std::string>{name}) << "the object already there is left alone";
  shm_unlink(name.c_str());

  EXPECT_EQ(raw_open_files(0, nullptr, "raw"), CIFSSIM_BAD_ARGUMENT);
  EXPECT_EQ(raw_open_files(0, nullptr, "/raw/x"), CIFSSIM_BAD_ARGUMENT);
}

TEST_F(OpenFiles, AFailingCallCanStillHandOutAHeader) {
  const std::vector<uint8_t> head(24, 0);
  ASSERT_EQ(raw_open_files(-7, &head), CIFSSIM_OK);
  void *out = nullptr;
  EXPECT_EQ(CIFSLIB_ListOpenFiles(request_page({}).get(), &out), -7);
  EXPECT_NE(out, nullptr);
  std::free(out);

  ASSERT_EQ(raw_open_files(0, nullptr), CIFSSIM_OK);
  out = &out;
  EXPECT_EQ(CIFSLIB_ListOpenFiles(request_page({}).get(), &out), CIFSSIM_OK);
  EXPECT_EQ(out, nullptr) << "a success without a header";
}

TEST_F(OpenFiles, ListingNeedsAKnownName) {
  EXPECT_EQ(list({.volume = "NOPE"}).status, CIFSSIM_NO_SUCH_VOLUME);
}

TEST_F(OpenFiles, CloseTakesEveryOpenOfAPathAndRefusesBentRecords) {
  ASSERT_EQ(file_set()
                .add("home", "a.txt", "/HOME/a.txt", 1)
                .add("home", "a.txt", "/HOME/a.txt", 2)
                .add("home", "b.txt", "/HOME/b.txt")
                .apply(),
            CIFSSIM_OK);
  const auto bent = [](std::function<void(std::vector<uint8_t> &)> change) {
    auto record = simtest::close_record("/HOME/b.txt");
    change(record);
    return CIFSLIB_CloseOpenFile(record.data());
  };
  EXPECT_EQ(bent([](auto &r) { simtest::write_u32(r, 24, 1); }), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(bent([](auto &r) { simtest::write_u32(r, 36, 12); }), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(bent([](auto &r) { simtest::write_u32(r, 0, 1); }), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(bent([](auto &r) { std::fill(r.begin() + 40, r.end(), 'x'); }), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(CIFSLIB_CloseOpenFile(nullptr), CIFSSIM_NULL_ARGUMENT);
  EXPECT_EQ(close_path("/HOME/a.txt"), CIFSSIM_OK);
  EXPECT_EQ(close_path("/HOME/a.txt"), CIFSSIM_NO_SUCH_OPEN_FILE);
  EXPECT_EQ(close_path("/home/b.txt"), CIFSSIM_NO_SUCH_OPEN_FILE) << "paths compare exactly";
  EXPECT_EQ(names(list({.volume = "home"})), std::vector<std::string>{"b.txt"});
  const auto calls = simtest::mgmt_calls();
  ASSERT_GE(calls.size(), 6u);
  EXPECT_EQ(calls[5].text, "/HOME/a.txt");
  EXPECT_EQ(calls[5].record.size(), sizeof(cifs::close_file_record));
}

TEST_F(OpenFiles, CloseAllTakesTheFilesOfAShareOrOfAVolume) {
  ASSERT_EQ(file_set().add_many("SYS", 2).add_many("_admin", 2).add_many("home", 1).apply(), CIFSSIM_OK);
  EXPECT_EQ(CIFSLIB_CloseAllOpenFiles(simtest::name_record("_ADMIN").get()), CIFSSIM_OK);
  EXPECT_EQ(ids(list({.volume = "SYS"})), (std::vector<uint32_t>{0, 1}));
  ASSERT_EQ(file_set().add_many("SYS", 2).add_many("_admin", 2).add_many("home", 1).apply(), CIFSSIM_OK);
  EXPECT_EQ(CIFSLIB_CloseAllOpenFiles(simtest::name_record("sys").get()), CIFSSIM_OK) << "the volume";
  EXPECT_EQ(ids(list({.volume = "_admin"})), std::vector<uint32_t>{});
  EXPECT_EQ(ids(list({.volume = "home"})), std::vector<uint32_t>{4});

  EXPECT_EQ(CIFSLIB_CloseAllOpenFiles(simtest::name_record("NOPE").get()), CIFSSIM_NO_SUCH_VOLUME);
  EXPECT_EQ(CIFSLIB_CloseAllOpenFiles(simtest::name_record("").get()), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(CIFSLIB_CloseAllOpenFiles(simtest::name_record("home", cifs::change_atm_backup).get()),
            CIFSSIM_BAD_RECORD);
  auto offset = simtest::name_record("home");
  auto h = offset.header();
  h.comment_offset = 1;
  offset.set_header(h);
  EXPECT_EQ(CIFSLIB_CloseAllOpenFiles(offset.get()), CIFSSIM_BAD_RECORD);
  EXPECT_EQ(ids(list({.volume = "home"})), std::vector<uint32_t>{4});
}
