#include "state_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace simstate {
namespace {

constexpr std::string_view header_line = "# cifs simulator state: one line per item, fields separated by tabs\n";

std::optional<std::string> read_whole(const std::string &path, int &error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = errno;
    return std::nullopt;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return std::move(text).str();
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

}  // namespace

persistent_mutex::persistent_mutex(section_codec codec) : codec_(codec) {
  // Read once: the libraries read their environment at load time only.
  if (const char *path = std::getenv("CIFS_SIM_STATE"); path && *path) path_ = path;
}

persistent_mutex::~persistent_mutex() {
  if (lock_fd_ >= 0) (void)::close(lock_fd_);  // cleanup at exit: nothing to report to
}

void persistent_mutex::report(const std::string &what) {
  if (reported_) return;
  reported_ = true;
  std::fprintf(stderr, "cifs simulator (%s): state file %s: %s\n", codec_.section, path_.c_str(), what.c_str());
}

void persistent_mutex::lock() {
  mutex_.lock();
  if (!path_.empty()) sync_in();
}

void persistent_mutex::unlock() {
  if (file_locked_) sync_out();
  mutex_.unlock();
}

// Takes the file lock and loads our section when another process changed it.
void persistent_mutex::sync_in() {
  if (lock_fd_ < 0) {
    lock_fd_ = ::open((path_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (lock_fd_ < 0) return report(std::string("cannot open its lock file: ") + std::strerror(errno));
  }
  int status;
  while ((status = ::flock(lock_fd_, LOCK_EX)) != 0 && errno == EINTR) {
  }
  if (status != 0) return report(std::string("cannot lock it: ") + std::strerror(errno));
  file_locked_ = true;

  int error = 0;
  const auto file = read_whole(path_, error);
  std::string ours;
  others_.clear();
  if (!file) {
    if (error != ENOENT) report(std::string("cannot read it: ") + std::strerror(error));
    must_write_ = error == ENOENT;
    return;
  }
  split_sections(*file, codec_.section, ours, others_);
  must_write_ = ours.empty();
  if (ours.empty() || ours == last_) return;
  last_ = ours;
  unreadable_ = !codec_.load(ours);
  if (unreadable_) report("its lines are not readable; they are left as they are and not used");
}

// Writes our section back when it changed, then drops the file lock.
void persistent_mutex::sync_out() {
  file_locked_ = false;
  std::string ours = codec_.save();
  if (!unreadable_ && (must_write_ || ours != last_)) {
    const std::string temporary = path_ + ".tmp." + std::to_string(::getpid());
    std::string text(header_line);
    text += others_;
    text += prefixed(codec_.section, ours);
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out || std::rename(temporary.c_str(), path_.c_str()) != 0) {
      report(std::string("cannot write it: ") + std::strerror(errno));
      (void)std::remove(temporary.c_str());  // cleanup: the write's failure is what counts
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
