#include "state_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

namespace simstate {
namespace {

constexpr std::string_view header_line = "# cifs simulator state: one line per item, fields separated by tabs\n";
constexpr std::chrono::milliseconds default_lock_wait{10000};
// Far above any model a test or a demo sets up, and small enough that
// reading it on every call stays cheap.
constexpr uint64_t state_file_max_bytes = uint64_t{64} << 20;

std::string error_text(int error) { return std::strerror(error); }

// Closes on every path of the functions below.
class fd_closer {
 public:
  explicit fd_closer(int fd) : fd_(fd) {}
  fd_closer(const fd_closer &) = delete;
  fd_closer &operator=(const fd_closer &) = delete;
  ~fd_closer() {
    if (fd_ >= 0) (void)::close(fd_);  // read-only or already checked: nothing left to report
  }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// The whole state file, or nothing with `why` set (`missing` when it does not
// exist). It must be a regular file, opened without waiting, so that a FIFO
// or device put in its place cannot hang every call, and at most
// state_file_max_bytes long, as it is read on every call; a file that grows
// past that while it is read is refused too.
std::optional<std::string> read_whole(const std::string &path, std::string &why, bool &missing) {
  missing = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    missing = errno == ENOENT;
    why = error_text(errno);
    return std::nullopt;
  }
  fd_closer closer(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    why = error_text(errno);
    return std::nullopt;
  }
  if (!S_ISREG(st.st_mode)) {
    why = "it is not a regular file";
    return std::nullopt;
  }
  static const std::string too_large = "it is larger than the " + std::to_string(state_file_max_bytes) +
                                       " bytes a state file may hold; it is neither read nor written";
  if (static_cast<uint64_t>(st.st_size) > state_file_max_bytes) {
    why = too_large;
    return std::nullopt;
  }
  std::string text;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) return text;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      why = error_text(errno);
      return std::nullopt;
    }
    if (text.size() + static_cast<size_t>(got) > state_file_max_bytes) {
      why = too_large;
      return std::nullopt;
    }
    text.append(buffer, static_cast<size_t>(got));
  }
}

bool write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t put = ::write(fd, text.data(), text.size());
    if (put < 0 && errno == EINTR) continue;
    if (put == 0) errno = EIO;  // no progress and no error number: say something
    if (put <= 0) return false;
    text.remove_prefix(static_cast<size_t>(put));
  }
  return true;
}

// Puts `text` in a new file beside `path` and renames it over `path`, so a
// reader sees the old file or the new one. mkstemp picks a name nobody can
// foresee and creates it exclusively, so nothing planted there is followed or
// overwritten. False with `why` set when it fails; the temporary file is gone.
bool replace_file(const std::string &path, std::string_view text, std::string &why) {
  std::string temporary = path + ".tmp.XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    why = "cannot create a temporary file beside it: " + error_text(errno);
    return false;
  }
  int error = write_all(fd, text) ? 0 : errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error == 0) return true;
  why = error_text(error);
  (void)::unlink(temporary.c_str());  // cleanup: the write's failure is what counts
  return false;
}

// Splits the file into our section (prefix removed) and everything else.
void split_sections(std::string_view file, std::string_view section, std::string &ours, std::string &others) {
  while (!file.empty()) {
    const size_t end = file.find('\n');
    const std::string_view line = file.substr(0, end == std::string_view::npos ? file.size() : end + 1);
    file.remove_prefix(line.size());
    if (line.starts_with('#')) continue;
    if (line.size() > section.size() && line.starts_with(section) && line[section.size()] == '\t') {
      ours.append(line.substr(section.size() + 1));
      if (!ours.ends_with('\n')) ours += '\n';
    } else {
      others.append(line);
      if (!others.ends_with('\n')) others += '\n';
    }
  }
}

std::string prefixed(std::string_view section, std::string_view lines) {
  std::string out;
  while (!lines.empty()) {
    const size_t end = lines.find('\n');
    const std::string_view line = lines.substr(0, end == std::string_view::npos ? lines.size() : end + 1);
    lines.remove_prefix(line.size());
    out.append(section).append("\t").append(line);
  }
  return out;
}

// The folder that holds `path`, when everyone may write to it and its sticky
// bit does not stop them from removing or renaming others' files: anyone
// could then swap the state file or its lock between two accesses.
std::optional<std::string> open_folder_of(const std::string &path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  const std::string folder = parent.empty() ? std::string(".") : parent.string();
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return std::nullopt;  // the file's own errors will say more
  if ((st.st_mode & S_IWOTH) && !(st.st_mode & S_ISVTX)) return folder;
  return std::nullopt;
}

// Who holds the flock on `fd`, from /proc/locks: "process <pid> (<name>)", or
// "another process" when the kernel does not say (say, from another pid
// namespace).
std::string lock_holder(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return "another process";
  char id[64];
  std::snprintf(id, sizeof id, "%02x:%02x:%llu", ::major(st.st_dev), ::minor(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));
  std::ifstream locks("/proc/locks");
  for (std::string line; std::getline(locks, line);) {
    std::istringstream fields(line);
    std::string ordinal, kind, mode, access, where;
    long pid = 0;
    fields >> ordinal >> kind >> mode >> access >> pid >> where;
    if (kind != "FLOCK" || where != id || pid <= 0) continue;  // waiters show "->" as their kind
    std::string name;
    std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/comm"), name);
    // Any process names itself; only printable ASCII of it reaches the terminal.
    std::ranges::replace_if(name, [](char c) { return c < 0x20 || c > 0x7e; }, '?');
    return "process " + std::to_string(pid) + (name.empty() ? "" : " (" + name + ")");
  }
  return "another process";
}

std::chrono::milliseconds lock_wait_from_environment() {
  const char *text = std::getenv("CIFS_SIM_LOCK_WAIT_MS");
  if (!text || !*text) return default_lock_wait;
  uint32_t ms = 0;
  const char *end = text + std::strlen(text);
  const auto [ptr, ec] = std::from_chars(text, end, ms);
  return ec == std::errc() && ptr == end ? std::chrono::milliseconds(ms) : default_lock_wait;
}

}  // namespace

persistent_mutex::persistent_mutex(section_codec codec) : codec_(codec), lock_wait_(lock_wait_from_environment()) {
  // Read once: the libraries read their environment at load time only.
  if (const char *path = std::getenv("CIFS_SIM_STATE"); path && *path) path_ = path;
  if (path_.empty()) return;
  if (const auto folder = open_folder_of(path_)) {
    report("its folder " + *folder +
           " is writable by everyone and has no sticky bit, so anyone could replace the file or its lock; the "
           "state file is not used (choose a folder of your own)");
    path_.clear();
  }
}

persistent_mutex::~persistent_mutex() {
  if (lock_fd_ >= 0) (void)::close(lock_fd_);  // cleanup at exit: nothing to report to
}

void persistent_mutex::say(const std::string &what) {
  std::fprintf(stderr, "cifs simulator (%s): state file %s: %s\n", codec_.section, path_.c_str(), what.c_str());
}

void persistent_mutex::report(const std::string &what) {
  if (reported_) return;
  reported_ = true;
  say(what);
}

void persistent_mutex::lock() {
  mutex_.lock();
  if (!path_.empty()) sync_in();
}

void persistent_mutex::unlock() {
  if (file_locked_) sync_out();
  mutex_.unlock();
}

// Opens the lock file once. It is never followed through a symbolic link and
// must be a regular file, so nothing planted under its name makes us create
// or lock another file. Whoever can open it can hold its flock (read access
// is enough), so it is ours alone: created 0600, made 0600 when it was not,
// and refused when another user owns it.
bool persistent_mutex::open_lock_file() {
  if (lock_fd_ >= 0) return true;
  const std::string lock_path = path_ + ".lock";
  const std::string unused = "; calls answer from this process's copy of the server and save nothing";
  const int fd = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
  if (fd < 0) {
    const int error = errno;
    report("cannot open its lock file " + lock_path + ": " +
           (error == ELOOP ? "it is a symbolic link, which is not followed" : error_text(error)) + unused);
    return false;
  }
  fd_closer closer(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    report("its lock file " + lock_path + " is not a regular file" + unused);
    return false;
  }
  if (st.st_uid != ::geteuid()) {
    report("its lock file " + lock_path + " belongs to user " + std::to_string(st.st_uid) +
           ", who could hold it for ever" + unused + " (remove it, or choose a folder of your own)");
    return false;
  }
  if ((st.st_mode & 077) != 0 && ::fchmod(fd, 0600) != 0) {
    report("cannot make its lock file " + lock_path + " private (mode 0600): " + error_text(errno) + unused);
    return false;
  }
  lock_fd_ = closer.release();
  return true;
}

// Waits for the file lock at most lock_wait_, polling: flock has no timeout,
// and a library must not take a signal for one.
bool persistent_mutex::take_file_lock() {
  using clock = std::chrono::steady_clock;
  const auto deadline = clock::now() + lock_wait_;
  std::chrono::milliseconds pause{1};
  for (;;) {
    if (::flock(lock_fd_, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {
      report("cannot lock it: " + error_text(errno));
      return false;
    }
    const auto now = clock::now();
    if (now >= deadline) break;
    std::this_thread::sleep_for(std::min<clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds(10));
  }
  // Said on every call it happens to: each call waited, and each one's changes are lost.
  say("its lock " + path_ + ".lock is held by " + lock_holder(lock_fd_) + " and was not free within " +
      std::to_string(lock_wait_.count()) +
      " ms (CIFS_SIM_LOCK_WAIT_MS); this call answers from this process's copy of the server, which may be out of "
      "date, and its changes are not saved");
  return false;
}

// Takes the file lock and loads our section when another process changed it.
void persistent_mutex::sync_in() {
  if (!open_lock_file() || !take_file_lock()) return;
  file_locked_ = true;

  std::string why;
  bool missing = false;
  const auto file = read_whole(path_, why, missing);
  std::string ours;
  others_.clear();
  if (!file) {
    if (!missing) report("cannot read it: " + why);
    // Only a missing file is written: an unreadable one may be someone's.
    must_write_ = missing;
    refused_ = !missing;
    return;
  }
  // A file that is not a state file (nor an empty one, such as mktemp
  // makes) is someone's data: it is neither used nor overwritten.
  refused_ = !file->empty() && !file->starts_with(header_line);
  if (refused_) {
    report("it does not start with the state file's first line (\"" +
           std::string(header_line.substr(0, header_line.size() - 1)) +
           "\"), so it is no state file; it is neither read nor written (name a new file, or one the simulator wrote)");
    return;
  }
  split_sections(*file, codec_.section, ours, others_);
  must_write_ = ours.empty();
  if (ours.empty() || ours == last_) return;
  last_ = ours;
  unreadable_ = !codec_.load(ours);
  if (unreadable_)
    report("its lines are not readable or hold values the simulator's controls refuse; they are left as they are "
           "and not used");
}

// Writes our section back when it changed, then drops the file lock.
void persistent_mutex::sync_out() {
  file_locked_ = false;
  std::string ours = codec_.save();
  if (!unreadable_ && !refused_ && (must_write_ || ours != last_)) {
    std::string text(header_line);
    text += others_;
    text += prefixed(codec_.section, ours);
    std::string why;
    if (!replace_file(path_, text, why)) {
      report("cannot write it: " + why);
    } else {
      last_ = std::move(ours);
      must_write_ = false;
    }
  }
  (void)::flock(lock_fd_, LOCK_UN);  // closing never happens before exit, so an unlock failure cannot linger
}

void put_field(std::string &line, std::string_view text) {
  static constexpr char hex[] = "0123456789abcdef";
  line += '\t';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      line += "\\\\";
    } else if (c == '\t') {
      line += "\\t";
    } else if (c == '\n') {
      line += "\\n";
    } else if (byte < 0x20 || byte == 0x7f) {
      line += "\\x";
      line += hex[byte >> 4];
      line += hex[byte & 0xf];
    } else {
      line += c;
    }
  }
}

bool read_lines(std::string_view lines, const std::function<bool(const std::vector<std::string> &)> &read) {
  while (!lines.empty()) {
    const size_t end = lines.find('\n');
    const auto fields = split_fields(lines.substr(0, end));
    lines.remove_prefix(end == std::string_view::npos ? lines.size() : end + 1);
    if (!fields || !read(*fields)) return false;
  }
  return true;
}

std::optional<std::vector<std::string>> split_fields(std::string_view line) {
  if (line.ends_with('\n')) line.remove_suffix(1);
  std::vector<std::string> fields(1);
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\t') {
      fields.emplace_back();
      continue;
    }
    if (c != '\\') {
      fields.back() += c;
      continue;
    }
    if (++i == line.size()) return std::nullopt;
    switch (line[i]) {
      case '\\': fields.back() += '\\'; break;
      case 't': fields.back() += '\t'; break;
      case 'n': fields.back() += '\n'; break;
      case 'x': {
        unsigned value = 0;
        if (line.size() - i < 3) return std::nullopt;  // two hex digits must follow
        auto [ptr, ec] = std::from_chars(line.data() + i + 1, line.data() + i + 3, value, 16);
        if (ec != std::errc() || ptr != line.data() + i + 3) return std::nullopt;
        fields.back() += static_cast<char>(value);
        i += 2;
        break;
      }
      default: return std::nullopt;
    }
  }
  return fields;
}

}  // namespace simstate
