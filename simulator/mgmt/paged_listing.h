// One page of a shared memory listing, from request to result: resume after
// the request's cookie, select the page, lay its records back to back into a
// new object and hand out the header naming it. The open files and the
// invalid users listings differ only in their items and records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "call_log.h"
#include "cifs_sim_status.h"
#include "list_request_page.h"
#include "listing_result.h"
#include "paging.h"

namespace cifssim {

// `keep(item)` says whether an item belongs to the listing and passes its
// filters; `record_bytes(item)` lays out its record; the object's slack, as
// the choices say, is made of `slack_record`. CIFSSIM_BAD_COOKIE for a cookie
// not issued for `scope`; otherwise as hand_out_listing. A shrink the tests
// asked for is used up by the first page handed out.
template <class Item, class Keep, class RecordBytes>
int32_t hand_out_page(sim_state &st, std::string_view scope, const page_common &req, const std::vector<Item> &items,
                      Keep keep, RecordBytes record_bytes, std::span<const uint8_t> slack_record,
                      void **result_header) {
  uint64_t after = 0;
  if (req.cookie && !req.cookie->empty()) {
    const auto resume = st.cookies.resume_after(*req.cookie, scope);
    if (!resume) return CIFSSIM_BAD_COOKIE;
    after = *resume;
  }
  const auto page = select_page(items, after, req.ignore_count, req.return_count, keep);
  std::vector<uint8_t> records;
  for (const Item *item : page.items) {
    const std::vector<uint8_t> record = record_bytes(*item);
    records.insert(records.end(), record.begin(), record.end());
  }
  const listing_object object{st.choices.object_slack, slack_record, st.shrink_next_object};
  const int32_t status = hand_out_listing(static_cast<uint32_t>(page.items.size()), std::move(records),
                                          cookie_for(st.cookies, scope, page), object, st.kept, result_header);
  if (status == CIFSSIM_OK) st.shrink_next_object.reset();
  return status;
}

// How a listing call runs: its page is captured and parsed, logged (with the
// text `name_of` gives a well-formed request, which failure rules match),
// checked against injected failures, then a queued raw result stands in for
// the whole call; only then is a malformed page refused, or `list` run.
template <class Request, class Parse, class NameOf, class List>
int32_t run_page_call(library_call call, void *request_page, void **result_header, const wire::page_layout &layout,
                      Parse parse, NameOf name_of, List list) {
  if (!request_page) return refuse_null_argument(call);
  const size_t page_size = request_page_size();
  bytes page = capture_page(request_page, page_size, layout);
  Request req;
  const int32_t parsed = parse(page, page_size, req);
  const std::string named = parsed == CIFSSIM_OK ? name_of(req) : std::string();
  call_scope scope(call, named, std::move(page), named);
  if (auto injected = scope.injected()) return *injected;
  if (!result_header) return CIFSSIM_NULL_ARGUMENT;
  sim_state &st = scope.state();
  if (auto raw = take_raw_result(st, call)) return hand_out_raw(st, call, *raw, {result_header});
  if (parsed != CIFSSIM_OK) return parsed;
  return list(st, req, result_header);
}

}  // namespace cifssim
