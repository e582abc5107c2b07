#include "connections/connection_answer.h"

#include <cstring>
#include <string_view>

#include "wire/kept_texts.h"
#include "wire/library_limits.h"
#include "request/failure.h"
#include "base/log.h"
#include "request/napi_call.h"
#include "base/bounded_text.h"
#include "values/builders.h"
#include "values/env_cache.h"
#include "values/text_array.h"

namespace cifs {

namespace {

// The record's fixed character fields end at their size when the library
// filled them to the brim; an empty one leaves its key out.
template <size_t N>
field optional_text(const answer_kit &kit, const char *key, const char (&text)[N]) {
  const size_t length = strnlen(text, N);
  return length ? field::of(kit.answer_text(key, {text, length})) : field::none();
}

// The security equivalence texts of the details, `count` of them back to
// back where the library keeps them; none for a count of 0 or below.
field security_equivalences(napi_env env, const answer_kit &kit, request_instance *instance, int32_t count) {
  const char *func = "add_cifs_security_info_to_object";
  napi_value array;
  if (napi_status status = napi_create_array(env, &array); status != napi_ok) {
    clear_pending_exception(env);
    RECORD_AND_LOG_AS(func, instance, static_cast<uint32_t>(status), instance->error_id,
                      nullptr, ("Failed to create array to store SEV information of the user/connection"),
                      "%s, error: %d", instance->error_message, status);
    return field::none();
  }
  const uint32_t wanted = count > 0 ? static_cast<uint32_t>(count) : 0;
  kept_text_reader texts(instance->sev_list, wanted, security_equivalence_max_texts, security_equivalence_max_bytes,
                         security_equivalence_max_total);
  fill_text_array(env, kit, array, [&] { return texts.next(); });
  // A cut says which bound made it.
  char why[96];
  switch (texts.cut()) {
    case kept_text_cut::none:
      return field::of(array);
    case kept_text_cut::no_texts:
      format_bounded(why, sizeof why, "no texts were handed back");
      break;
    case kept_text_cut::too_many:
      format_bounded(why, sizeof why, "at most %u are read", security_equivalence_max_texts);
      break;
    case kept_text_cut::text_too_long:
      format_bounded(why, sizeof why, "the next has no NUL within %zu bytes", security_equivalence_max_bytes);
      break;
    case kept_text_cut::total_reached:
      format_bounded(why, sizeof why, "they hold more than the %zu bytes read", security_equivalence_max_total);
      break;
  }
  CIFS_LOG_AS(func, LOG_ERR, "Security equivalences hold %u of the %u texts their count gives: %s", texts.texts_read(),
              wanted, why);
  return field::of(array);
}

}  // namespace

uint32_t cc_convert_connection_info_to_json(napi_env env, request_instance *instance, int64_t index,
                                            record_run<r_connection> *list, connection_form form,
                                            const answer_kit &kit) {
  if (!instance->connection_records) return UINT32_MAX;
  const connection_record &record = instance->connection_records.get()[index < 0 ? 0 : index];
  const field fields[] = {
      field::uint32(record.connection_number),
      optional_text(kit, ckey(ck_connection_type), record.connection_type),
      optional_text(kit, ckey(k_user_name), record.user_name),
      optional_text(kit, ckey(ck_status), record.status),
      optional_text(kit, ckey(ck_privileges), record.privileges),
      field::uint32(record.total_requests),
      field::of(make_uint64_to_string_utf8(env, ckey(ck_total_bytes_read), record.total_bytes_read)),
      field::of(make_uint64_to_string_utf8(env, ckey(ck_total_bytes_written), record.total_bytes_written)),
      field::of(make_uint64_to_string_utf8(env, ckey(ck_login_time), record.login_time)),
      field::of(make_boolean(env, ckey(ck_is_encrypted), record.encrypted)),
      field::of(make_int32(env, ckey(ck_channels), record.channels)),
      field::uint32(record.mapped_shares_count),
      field::uint32(record.open_files_count),
      optional_text(kit, ckey(ck_ip_address), record.client_address),
      form == connection_form::details
          ? security_equivalences(env, kit, instance, record.security_equivalence_count)
          : field::none(),
  };
  if (form == connection_form::list) {
    // The list form is the details form without its last key.
    if (list != nullptr &&
        list->add(std::span(fields).first<shape<r_connection>::size>(), static_cast<uint32_t>(index)))
      return 0;
    // Logged by the list, under this function's name.
    record_failure(instance, static_cast<uint32_t>(napi_generic_failure), instance->error_id, nullptr,
                   "Failed to create object to store user/connection information");
    return UINT32_MAX;
  }
  const built_record made = build_record<r_connection_details>(env, kit, fields);
  if (made.object == nullptr) {
    RECORD_AND_LOG(instance, static_cast<uint32_t>(napi_generic_failure), instance->error_id, nullptr,
                   ("Failed to create object to store user/connection information"), "%s, error: %d",
                   instance->error_message, napi_generic_failure);
    return UINT32_MAX;
  }
  if (napi_status status = kit.set(k_connection, made.object)) {
    RECORD_AND_LOG(instance, static_cast<uint32_t>(status), instance->error_id, nullptr,
                   ("Failed to copy connection information to return object"), "%s, error: %d", instance->error_message,
                   status);
    return UINT32_MAX;
  }
  return 0;
}

}  // namespace cifs
