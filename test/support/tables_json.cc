// Prints the module's own lists as JSON, for the suites that hold the
// JavaScript constants against them: each sphere's operations (number, name,
// description), the log levels, the error tags an answer can carry (with
// their messages, in id order), the management library's calls, and the
// buffers (NUL included) through which the readers take request texts, with
// the bytes one request may copy out of its lists of names.
#include <cstdint>
#include <cstdio>
#include <span>

#include "base/error_tags.h"
#include "base/list_limits.h"
#include "base/log.h"
#include "base/log_levels.h"
#include "request/request_instance.h"
#include "values/answer_texts.h"
#include "wire/connection_filter_record.h"
#include "wire/filter_block.h"
#include "wire/invalid_user_records.h"
#include "wire/open_file_records.h"

namespace {

using namespace cifs;

struct listed_operation {
  int32_t number;
  fixed_text name;
  const char *description;
};

#define CIFS_OPERATION(number, name, description, ...) {number, name, description},
constexpr listed_operation shares_operations[] = {
#include "shares/shares_table.inc"
};
constexpr listed_operation connections_operations[] = {
#include "connections/connections_table.inc"
};
constexpr listed_operation contexts_operations[] = {
#include "contexts/contexts_table.inc"
};
#undef CIFS_OPERATION

constexpr const char *library_calls[] = {
#define CIFS_MGMT_FUNCTION(name) #name,
#include "library/function_list.inc"
#undef CIFS_MGMT_FUNCTION
};

// A JSON string, or null.
void text(const char *value) {
  if (value == nullptr) {
    std::fputs("null", stdout);
    return;
  }
  std::putchar('"');
  for (const char *c = value; *c != '\0'; ++c) {
    const auto byte = static_cast<unsigned char>(*c);
    if (byte == '"' || byte == '\\')
      std::printf("\\%c", byte);
    else if (byte < 0x20)
      std::printf("\\u%04x", byte);
    else
      std::putchar(byte);
  }
  std::putchar('"');
}

void sphere(const char *name, std::span<const listed_operation> operations, const char *after) {
  std::printf("    \"%s\": [", name);
  for (const listed_operation &operation : operations) {
    std::printf("%s\n      {\"number\": %d, \"name\": ", &operation == operations.data() ? "" : ",", operation.number);
    text(fixed_texts[operation.name]);
    std::fputs(", \"description\": ", stdout);
    text(operation.description);
    std::putchar('}');
  }
  std::printf("\n    ]%s\n", after);
}

}  // namespace

int main() {
  tarvo_rest_log_level.store(-1);  // the tag lookup logs every id it is asked; nothing here is a failure

  std::puts("{\n  \"operations\": {");
  sphere("shares", shares_operations, ",");
  sphere("connections", connections_operations, ",");
  sphere("contexts", contexts_operations, "");
  std::puts("  },");

  std::fputs("  \"logLevels\": [", stdout);
  for (const level_name &level : level_names) {
    if (&level != level_names) std::fputs(", ", stdout);
    text(level.text);
  }
  std::puts("],");

  // The tags as answers carry them: an id's tag is the one its lookup finds.
  std::fputs("  \"errorTags\": [", stdout);
  bool first = true;
  for (const error_tag_row &row : errorTagMap) {
    const char *tag = get_err_tag_from_index(row.id);
    if (tag == nullptr) continue;
    std::printf("%s\n    {\"id\": %d, \"tag\": ", first ? "" : ",", row.id);
    text(tag);
    std::fputs(", \"message\": ", stdout);
    text(row.message);
    std::putchar('}');
    first = false;
  }
  std::puts("\n  ],");

  std::fputs("  \"libraryCalls\": [", stdout);
  for (const char *call : library_calls) {
    if (call != library_calls[0]) std::fputs(", ", stdout);
    text(call);
  }
  std::puts("],");

  std::printf("  \"textBuffers\": {\"dn\": %zu, \"openFilesCookie\": %zu, \"invalidUsersCookie\": %zu, "
              "\"openFilesVolumeName\": %zu, \"matchType\": %zu, \"filterBy\": %zu, \"openFilesTypePattern\": %zu, "
              "\"invalidUsersTypePattern\": %zu, \"searchNamePattern\": %zu, \"connectionPattern\": %zu},\n",
              sizeof(request_instance::caller_dn), open_files_cookie_size, invalid_users_cookie_size,
              open_files_volume_name_size, match_type_bound, filter_by_bound, open_files_type_pattern_bound,
              invalid_users_type_pattern_bound, search_name_pattern_bound, connection_pattern_size);
  std::printf("  \"maxListCopyBytes\": %llu\n}\n", static_cast<unsigned long long>(max_list_copy_bytes));
  return 0;
}
