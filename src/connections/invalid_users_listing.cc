// Operation 6: the cache of invalid and blocked user names, one page at a
// time, filtered by the library, handed back through shared memory the way
// the open files are.
#include <cstddef>

#include "connections/connections_operations.h"
#include "library/caller_identity.h"
#include "library/binding.h"
#include "base/bounded_text.h"
#include "library/listing_call.h"
#include "wire/invalid_user_records.h"
#include "wire/invalid_users_result.h"
#include "wire/listing_page.h"
#include "base/error_codes.h"
#include "request/failure.h"
#include "base/log.h"
#include "request/napi_call.h"
#include "values/advanced_filters.h"
#include "values/builders.h"
#include "values/env_cache.h"
#include "values/keys.h"
#include "values/list_page_reader.h"

namespace cifs {

namespace {

constexpr filter_form invalid_users_filters{
    filter_encoding::block,
    "get_list_invalid_users_input_data",
    "get_list_invalidusers_advanced_filters_input_data",
    block_filter_by<invalid_users_type_pattern_bound>,
    block_max_filters,
    block_max_patterns,
    block_max_filters * block_max_patterns,
    "Advanced filters do not fit in the request to list invalid users",
};

constexpr list_page_form invalid_users_page_form{
    "Failed to get pagesize for creating a request to list invalid users",
    offsetof(invalid_users_request, ignore_count),
    offsetof(invalid_users_request, return_count),
    offsetof(invalid_users_request, cookie_offset),
    invalid_users_cookie_size,
    &invalid_users_filters,
    invalid_users_type_pattern_bound,
};

}  // namespace

uint32_t get_list_invalid_users_input_data(napi_env env, napi_value request, request_instance *instance) {
  page_request page(invalid_users_request_layout);
  if (uint32_t status = check_list_page(page, instance, invalid_users_page_form)) return status;
  if (uint32_t status = read_list_page_tail(env, request, instance, page, invalid_users_page_form)) return status;
  instance->invalid_users_request = page.release();
  return 0;
}

void cc_list_invalid_users(napi_env, void *data) {
  auto *instance = static_cast<request_instance *>(data);
  static constexpr listing_form form{"cc_convert_invalid_users_list_to_json", invalid_users_texts,
                                     id_failed_to_list_invalid_users};
  CIFS_RUN_LISTING(instance, CIFSLIB_ListInvalidUsers, instance->invalid_users_request.get(), form,
                   [](const uint8_t *, listing_failure *failure) {
                     copy_bounded(failure->message, "Failed to list invalid users");
                   });
}

void cc_convert_invalid_users_list_to_json(napi_env env, request_instance *instance, const answer_kit &kit) {
  const listing_page &page = instance->listing;  // taken by the executor
  if (!page.ok()) return;
  const list_result_header &header = page.header();
  // The array is made with the number of users the copy holds, not the count claimed.
  const uint32_t listed = count_invalid_users(page.copy(), header.count);
  page.report_read(listed);
  napi_value users;
  NAPI_CALL_OR(napi_create_array_with_length(env, listed, &users), return,
               "Failed to create array to store list of invalid users, error: %d");
  static constexpr element_texts texts{"Failed to create napi object to store individual invalid user info", false};
  record_run<r_invalid_user> run(env, kit, users, __func__, texts);
  invalid_users_cursor cursor(page.copy(), header.count);
  invalid_user_view user;
  for (uint32_t index = 0; cursor.next(&user); ++index) {
    const field fields[] = {
        field::of(kit.answer_text(ckey(k_name), user.name)),
        field::fixed(user.state == invalid_user_state_invalid ? t_user_invalid : t_user_blocked),
        field::of(kit.answer_text(ckey(ck_client_ip_address), user.client_address)),
        field::of(make_int64(env, ckey(ck_last_auth_attempt_time), user.last_attempt_time)),
    };
    if (!run.add(fields, index)) return;
  }
  if (!run.finish()) return;

  const field fields[] = {
      field::of(make_uint32(env, ckey(k_count), header.count)),
      field::of(kit.answer_text(ckey(k_cookie), header.cookie)),
      field::of(users),
  };
  const built_record invalid_users = build_record<r_invalid_users>(env, kit, fields);
  if (invalid_users.object == nullptr) {
    LOG_ERROR("Failed to create napi object to store invalid users data");
    return;
  }
  NAPI_CALL_OR(kit.set(ck_invalid_users, invalid_users.object), (void)0,
               "Failed to copy invalid users list into return object, error: %d");
}

}  // namespace cifs
