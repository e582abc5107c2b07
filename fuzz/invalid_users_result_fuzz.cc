// The invalid users result: the records of the copied object walked with the
// count the header claims, honest or lying. What the cursor says is checked
// against the layout read here independently: the records found by chaining
// fixed headers and strings lengths, the address field cut at its NUL or its
// 16 bytes, and the name looked up in the record's own string area (empty
// when it does not end there).
//
// Input: u8 count mode (mod 4: the raw count, the records present, one more,
// the raw count mod the records present + 2) | u32 raw count | the rest: the object.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "wire/invalid_user_records.h"
#include "wire/library_limits.h"
#include "wire/invalid_users_result.h"

namespace {

using fuzz::frame;
using fuzz::value_at;

constexpr size_t fixed = sizeof(cifs::invalid_user_record);

// The record's name: empty when absent, nothing when it does not end inside its strings.
std::optional<std::string_view> name_of(const uint8_t *object, const frame &f) {
  const uint32_t offset = value_at<uint32_t>(object, f.at + 32);
  if (offset == cifs::absent_offset) return std::string_view();
  if (offset >= f.strings_length) return std::nullopt;
  const auto *start = reinterpret_cast<const char *>(object + f.at + fixed + offset);
  const size_t n = strnlen(start, f.strings_length - offset);
  if (n == f.strings_length - offset) return std::nullopt;
  return std::string_view(start, n);
}

void check_user(const cifs::invalid_user_view &user, const uint8_t *object, const frame &f) {
  const uint8_t *record = object + f.at;
  FUZZ_CHECK(user.state == value_at<uint32_t>(record, 0));
  FUZZ_CHECK(user.last_attempt_time == value_at<int64_t>(record, 8));
  // The address views its own field and never runs past it.
  const auto *address = reinterpret_cast<const char *>(record + 16);
  FUZZ_CHECK(user.client_address.data() == address);
  FUZZ_CHECK(user.client_address.size() == strnlen(address, cifs::invalid_user_address_size));
  const auto name = name_of(object, f).value_or(std::string_view());
  FUZZ_CHECK(user.name == name && (name.empty() || user.name.data() == name.data()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::input in(data, size);
  const uint8_t count_mode = in.byte() % 4;
  const uint32_t raw_count = in.value<uint32_t>();
  // Exactly the object's bytes: ASan stands at both ends of it.
  const auto object_bytes = in.rest();
  uint8_t *object = fuzz::malloc_copy(object_bytes);
  const size_t object_size = object_bytes.size();
  const std::vector<frame> frames = fuzz::chain(object, object_size, fixed, 36);
  const uint32_t count = fuzz::choose_count(count_mode, raw_count, frames.size());

  cifs::invalid_users_cursor cursor(cifs::byte_reader(object, object_size), count);
  cifs::invalid_user_view user;
  size_t read = 0;
  while (cursor.next(&user)) {
    FUZZ_CHECK(read < count && read < frames.size());
    check_user(user, object, frames[read++]);
  }
  FUZZ_CHECK(!cursor.next(&user));  // stays stopped
  // Exactly the records that lie wholly in the copy, up to the count and the bound.
  const size_t expected = std::min<size_t>(count, frames.size());
  FUZZ_CHECK(read == expected && cursor.read() == expected);
  FUZZ_CHECK(cifs::count_invalid_users(cifs::byte_reader(object, object_size), count) == expected);
  std::free(object);
  return 0;
}
