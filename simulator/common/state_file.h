// The state file that lets several processes share one simulated server: its
// path is named by CIFS_SIM_STATE, each simulated library keeps its own
// section of it (lines that start with the section's name and a tab), and a
// library's mutex reloads its section when taken and saves it when released.
// Without the variable nothing is read or written.
#pragma once

#include <charconv>
#include <chrono>
#include <tuple>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace simstate {

// What a library stores: its section's lines without the section prefix.
// Both run with the library's own lock held. `load` replaces the library's
// state only when it can read all of it, and says whether it could.
struct section_codec {
  const char *section;
  std::string (*save)();
  bool (*load)(std::string_view lines);
};

// A mutex that also takes the state file's lock (flock on "<file>.lock")
// and brings the library up to date with the file; on release it writes the
// section back when it changed (a temporary file renamed over the state
// file, so a reader never sees half of it) and drops the file lock. Errors
// of the file are reported once on standard error; the library then goes on
// with what it holds. The file lock is waited for at most
// CIFS_SIM_LOCK_WAIT_MS (default 10000) each time: a call that cannot have it
// says so on standard error and goes on without the file. A state file in a
// folder everyone may write to without the sticky bit is not used at all;
// nor is a lock file another user owns. A file larger than 64 MiB, or one
// that does not start with the state file's first line (an empty one
// aside), is neither read nor written.
class persistent_mutex {
 public:
  explicit persistent_mutex(section_codec codec);
  persistent_mutex(const persistent_mutex &) = delete;
  persistent_mutex &operator=(const persistent_mutex &) = delete;
  ~persistent_mutex();

  void lock();
  void unlock();

 private:
  bool open_lock_file();
  bool take_file_lock();
  void sync_in();
  void sync_out();
  void say(const std::string &what);
  void report(const std::string &what);

  std::mutex mutex_;
  section_codec codec_;
  std::chrono::milliseconds lock_wait_;
  std::string path_;        // empty: in memory only
  int lock_fd_ = -1;
  bool file_locked_ = false;
  std::string others_;      // the other sections' lines, as read under the file lock
  std::string last_;        // our section as last loaded or written
  bool must_write_ = false; // the file lacks our section
  bool unreadable_ = false; // our section in the file could not be loaded
  bool refused_ = false;    // the file is no state file, or too large: neither read nor written
  bool reported_ = false;
};

// Fields of a line are separated by tabs; a field escapes the backslash and
// every control byte ("\\", "\t", "\n", "\xNN") so any text fits.
void put_field(std::string &line, std::string_view text);
// Nothing for a line with a broken escape.
std::optional<std::vector<std::string>> split_fields(std::string_view line);

// Calls `read` with the fields of each line, its tag first; false as soon as
// a line is broken or `read` refuses it.
bool read_lines(std::string_view lines, const std::function<bool(const std::vector<std::string> &)> &read);

// Field conversions for the codecs; a number that does not fit its type is unreadable.
inline void put(std::string &line, const std::string &text) { put_field(line, text); }
inline void put(std::string &line, bool value) { put_field(line, value ? "1" : "0"); }
template <class T>
  requires std::is_integral_v<T>
void put(std::string &line, T value) {
  put_field(line, std::to_string(value));
}

inline bool get(const std::string &field, std::string &out) {
  out = field;
  return true;
}
inline bool get(const std::string &field, bool &out) {
  if (field != "0" && field != "1") return false;
  out = field == "1";
  return true;
}
template <class T>
  requires std::is_integral_v<T>
bool get(const std::string &field, T &out) {
  const char *end = field.data() + field.size();
  auto [ptr, ec] = std::from_chars(field.data(), end, out);
  return ec == std::errc() && ptr == end && !field.empty();
}

// A line "<tag>\t<fields>\n" of the members a codec ties together.
template <class Tuple>
std::string tagged_line(std::string_view tag, const Tuple &members) {
  std::string line(tag);
  std::apply([&line](const auto &...m) { (put(line, m), ...); }, members);
  line += '\n';
  return line;
}

// Reads `fields` (the tag already taken off) into the tied members; false
// when their number or any value is wrong.
template <class Tuple>
bool read_members(const std::vector<std::string> &fields, size_t first, Tuple &&members) {
  if (fields.size() - first != std::tuple_size_v<std::remove_reference_t<Tuple>>) return false;
  size_t i = first;
  return std::apply([&](auto &...m) { return (get(fields[i++], m) && ...); }, members);
}

}  // namespace simstate
