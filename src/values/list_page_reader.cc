#include "values/list_page_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/error_codes.h"
#include "request/failure.h"
#include "base/log.h"
#include "wire/filter_block_sink.h"
#include "values/readers.h"

namespace cifs {

namespace {

constexpr size_t longest_page_text = 256;

}  // namespace

uint32_t check_list_page(const page_request &page, request_instance *instance, const list_page_form &form) {
  // Logged under the operation's parser, whose step this is.
  const char *parser = form.filters->parser;
  switch (page.failed()) {
    case page_request::failure::none: return 0;
    case page_request::failure::page_size:
      return RECORD_AND_LOG_AS(parser, instance, status_page_size_failed, id_failed_to_get_pagesize, nullptr,
                               ("%s", form.page_size_text), "%s, error: %s", instance->error_message,
                               std::strerror(page.error()));
    case page_request::failure::allocation:
      return RECORD_AND_LOG_AS(parser, instance, status_out_of_memory, id_memory_allocation_failure, nullptr,
                               ("Failed to allocate memory for '%s'", instance->operation_name), "%s, error: %s",
                               instance->error_message, std::strerror(page.error()));
  }
  return 0;
}

std::optional<uint32_t> read_page_text(napi_env env, napi_value request, request_instance *instance,
                                       page_request &page, comn_key key, size_t bound) {
  char text[longest_page_text] = {};
  if (uint32_t status = get_named_property_to_string(env, request, ckey(key), text, std::min(bound, sizeof text))) {
    record_failure(instance, status, id_failed_to_extract_convert, ckey(key), "Failed to extract/convert '%s'",
                   ckey(key));
    return std::nullopt;
  }
  // A page (4096 bytes at least) holds a volume name and a cookie with room to spare.
  const auto at = page.append_text(text, bound);
  if (!at)
    record_failure(instance, status_does_not_fit, id_memory_allocation_failure, nullptr,
                   "The list request does not fit one page");
  return at;
}

uint32_t read_list_page_tail(napi_env env, napi_value request, request_instance *instance, page_request &page,
                             const list_page_form &form) {
  for (auto [key, field] : {std::pair{k_ignore_count, form.ignore_count_field},
                            std::pair{k_return_count, form.return_count_field}}) {
    uint32_t count = 0;
    if (uint32_t status = get_named_property_to_uint32(env, request, ckey(key), &count))
      return record_failure(instance, status, id_failed_to_extract_convert, ckey(key),
                            "Failed to extract/convert '%s'", ckey(key));
    (void)page.set_field(field, count);  // inside the header: cannot fail
  }

  uint32_t cookie_offset = absent_offset;
  if (validate_key(env, request, ckey(k_cookie))) {
    const auto cookie = read_page_text(env, request, instance, page, k_cookie, form.cookie_bound);
    if (!cookie) return instance->error_code;
    cookie_offset = *cookie;
  }
  (void)page.set_field(form.cookie_offset_field, cookie_offset);

  if (!validate_key(env, request, ckey(k_advanced_filters_info))) {
    (void)write_no_filter_block(page);
    return 0;
  }
  block_filter_sink sink(page, form.type_pattern_bound);
  return read_advanced_filters(env, request, instance, *form.filters, sink);
}

}  // namespace cifs
