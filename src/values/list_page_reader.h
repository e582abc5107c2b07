// What the parsers of the page-sized list requests (the open files of a
// share or of a connection, the cached invalid users) read alike: the page
// itself, a text into its string area, and the tail every such request
// ends with, the counts, the cookie and the advanced filter block. Each
// parser reads its own leading fields (a volume name, a connection number)
// between the two. JavaScript thread only.
#pragma once

#include <node_api.h>

#include <cstddef>
#include <cstdint>
#include <optional>

#include "request/request_instance.h"
#include "values/advanced_filters.h"
#include "values/keys.h"
#include "wire/page_request.h"

namespace cifs {

// Where one request keeps the tail's fields, and how it reads them.
struct list_page_form {
  const char *page_size_text;  // answered (and logged) when the page size cannot be had
  size_t ignore_count_field;
  size_t return_count_field;
  size_t cookie_offset_field;
  size_t cookie_bound;  // the NUL included
  const filter_form *filters;
  size_t type_pattern_bound;  // of the "type" patterns in the filter block
};

// 0 when `page` was made; otherwise records and logs why not (the page
// size, or the allocation) and returns error_code.
uint32_t check_list_page(const page_request &page, request_instance *instance, const list_page_form &form);

// Reads the request's text `key` through `bound` bytes (at most 256) into the
// page's string area. Its offset, or nothing with the failure recorded.
std::optional<uint32_t> read_page_text(napi_env env, napi_value request, request_instance *instance,
                                       page_request &page, comn_key key, size_t bound);

// Reads ignoreCount and returnCount (a missing key or another type reads as
// 0), the cookie when present and the advanced filters when present, in that
// order, into `page`; an absent cookie or filter set gets the absent offset.
// Returns 0, or error_code after recording the failure.
uint32_t read_list_page_tail(napi_env env, napi_value request, request_instance *instance, page_request &page,
                             const list_page_form &form);

}  // namespace cifs
