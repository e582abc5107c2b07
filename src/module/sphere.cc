#include "module/sphere.h"

#include <cstring>

#include "library/caller_identity.h"
#include "library/binding.h"
#include "values/envelopes.h"
#include "base/error_codes.h"
#include "base/error_tags.h"
#include "request/failure.h"
#include "base/log.h"
#include "request/napi_call.h"
#include "base/bounded_text.h"
#include "values/env_cache.h"
#include "values/keys.h"
#include "values/outcome_list.h"
#include "values/readers.h"

namespace cifs {

namespace {

void do_nothing(napi_env, void *) {}

// Answers a failure found before the operation's work item was queued: a work
// item with an empty executor whose completion resolves the promise with the
// error object. Returns the promise, or null after freeing the instance.
napi_value create_promise_for_error(napi_env env, request_ptr instance, const sphere_def &sphere,
                                    napi_async_complete_callback complete) {
  const char *func = sphere.texts.function_name;
  clear_pending_exception(env);  // a failed request read must not block the promise
  uint32_t code = 0;
  napi_value name;
  napi_status status = napi_create_promise(env, &instance->deferred, &instance->promise);
  if (status != napi_ok) {
    CIFS_LOG_AS(func, LOG_ERR, "Failed to create the promise for the operation: %d", instance->operation);
    code = status_promise_failed;
  } else if (napi_create_string_utf8(env, "Deferred promise from async work item for NAPI", NAPI_AUTO_LENGTH,
                                     &name) != napi_ok) {
    CIFS_LOG_AS(func, LOG_ERR, "Failed to create NAPI value for the operation: %d", instance->operation);
    code = status_napi_string_failed;
  } else {
    instance->operation = error_request_operation;
    if (napi_create_async_work(env, nullptr, name, do_nothing, complete, instance.get(), &instance->work) !=
        napi_ok) {
      CIFS_LOG_AS(func, LOG_ERR, "An async worker could not be created for the error scenario.");
      code = status_async_work_failed;
    } else if ((status = napi_queue_async_work(env, instance->work)) != napi_ok) {
      CIFS_LOG_AS(func, LOG_ERR, "The async work could not be queued due to the error: %d", status);
      if (napi_delete_async_work(env, instance->work) != napi_ok)
        CIFS_LOG_AS(func, LOG_ERR, "Failed to delete async work");
      code = status_queue_failed;
    } else {
      napi_value promise = instance->promise;
      (void)instance.release();  // the work item owns it now
      return promise;
    }
  }
  sphere.texts.error_promise(func, static_cast<int>(code));
  return nullptr;
}

}  // namespace

uint32_t create_promise_and_async_work(napi_env env, const char *resource_name, napi_value *promise,
                                       napi_deferred *deferred, napi_async_work *work,
                                       napi_async_execute_callback execute, napi_async_complete_callback complete,
                                       void *data) {
  napi_value name;
  NAPI_CALL_OR(napi_create_string_utf8(env, resource_name, NAPI_AUTO_LENGTH, &name), return status_napi_string_failed,
               "Failed to create napi string, error: %d");
  NAPI_CALL_OR(napi_create_promise(env, deferred, promise), return status_promise_failed,
               "Failed to create promise, error: %d");
  NAPI_CALL_OR(napi_create_async_work(env, nullptr, name, execute, complete, data, work),
               return status_async_work_failed, "Failed to create async worker, error %d");
  napi_status status = napi_queue_async_work(env, *work);
  if (status != napi_ok) {
    LOG_ERROR("The async work could not be queued, error: %d", status);
    NAPI_CALL_OR(napi_delete_async_work(env, *work), (void)0, "Failed to delete async work, error: %d");
    return status_queue_failed;
  }
  return 0;
}

namespace {

// The sphere's row of `operation`, or null for a number it does not offer.
const operation_row *offered_row(const sphere_def &sphere, int32_t operation) {
  if (operation < 1 || static_cast<size_t>(operation) >= sphere.rows.size()) return nullptr;
  return sphere.rows[operation].executor != nullptr ? &sphere.rows[operation] : nullptr;
}

// What every request of the sphere must carry before its operation is known:
// the management library, a readable "operation" and the caller's "dn".
// False with the failure recorded (the request then becomes an error request).
bool read_request_head(napi_env env, napi_value request, request_instance *instance, const sphere_def &sphere,
                       int32_t *operation) {
  if (!is_cifsmgmtclient_loaded) load_cifsmgmtclient_functions();
  if (!is_cifsmgmtclient_loaded) {
    record_failure(instance, status_library_not_loaded, id_library_not_loaded, nullptr,
                   "CIFSMGMTCLIENT library couldn't be loaded to execute CIFS operations");
    return false;
  }
  // A missing or non-number "operation" leaves 0: an unknown operation.
  const char *operation_key = ckey(k_operation);
  if (uint32_t status = get_named_property_to_int32(env, request, operation_key, operation)) {
    if (sphere.rules == request_rules::contexts)
      RECORD_AND_LOG_AS(sphere.texts.function_name, instance, status, id_failed_to_extract_convert, operation_key,
                        ("Failed to extract/convert %s. Retry.", operation_key), "%s", instance->error_message);
    else
      record_failure(instance, status, id_failed_to_extract_convert, operation_key, "Failed to extract/convert: '%s'",
                     operation_key);
    return false;
  }
  // The reader logs its own line; the contexts sphere answers with its code and text.
  char message[error_message_bound] = {};
  uint32_t code = 0;
  if (get_dn_data(env, request, instance->caller_dn, message, &code) == 0) return true;
  if (sphere.rules == request_rules::contexts)
    record_failure(instance, code, id_failed_to_extract_convert, ckey(k_dn), "%s", message);
  else  // the reader's failure result, delivered as -1
    record_failure(instance, UINT32_MAX, id_failed_to_extract_convert, ckey(k_dn), "Failed to extract/convert: '%s'",
                   ckey(k_dn));
  return false;
}

}  // namespace

napi_value run_sphere(napi_env env, napi_callback_info info, const sphere_def &sphere,
                      napi_async_complete_callback complete) {
  const sphere_texts &texts = sphere.texts;
  request_ptr instance(allocate_request_instance());
  if (!instance) {
    texts.allocation(texts.function_name, 0);
    return nullptr;
  }
  size_t argc = 2;
  napi_value argv[2] = {nullptr, nullptr};
  if (napi_get_cb_info(env, info, &argc, argv, nullptr, nullptr) != napi_ok) {
    texts.arguments(texts.function_name, 0);
    return nullptr;
  }
  napi_value request = argv[0];
  if (request == nullptr) (void)napi_get_undefined(env, &request);
  int32_t operation = 0;
  if (!read_request_head(env, request, instance.get(), sphere, &operation))
    return create_promise_for_error(env, std::move(instance), sphere, complete);

  const operation_row *offered = offered_row(sphere, operation);
  if (offered == nullptr) {
    texts.unknown_operation(texts.function_name, operation);
    return nullptr;
  }
  const operation_row &row = *offered;
  const char *description = sphere.descriptions[operation] ? sphere.descriptions[operation] : fixed_texts[row.name];
  instance->operation = operation;
  instance->operation_index = static_cast<uint32_t>(operation);
  copy_bounded(instance->operation_name, fixed_texts[row.name]);
  if (row.parser != nullptr) {
    if (uint32_t status = row.parser(env, request, instance.get())) {
      CIFS_LOG_AS(texts.function_name, LOG_ERR, "Failed to get data for %s, error: %d", description,
                  static_cast<int>(status));
      // A parser must leave a failure code; without one there is nothing to answer with.
      return instance->error_code == 0 ? nullptr : create_promise_for_error(env, std::move(instance), sphere, complete);
    }
  }
  request_instance *raw = instance.get();
  if (uint32_t code = create_promise_and_async_work(env, raw->operation_name, &raw->promise, &raw->deferred,
                                                    &raw->work, row.executor, complete, raw)) {
    CIFS_LOG_AS(texts.function_name, LOG_ERR, "Failed to create async work promise for %s, error: %d", description,
                static_cast<int>(code));
    release_kept_strings(env, raw);
    return nullptr;
  }
  (void)instance.release();  // the work item owns it; its completion frees it
  return raw->promise;
}

void complete_request(napi_env env, void *data, const sphere_def &sphere) {
  if (data == nullptr) return;
  request_ptr instance(static_cast<request_instance *>(data));  // freed on every path
  const completion_texts &texts = sphere.completion;
  const answer_kit kit(env);
  if (instance->error_id != 0)
    if (const char *tag = get_err_tag_from_index(static_cast<int32_t>(instance->error_id)))
      copy_bounded(instance->error_tag, tag);

  // The envelope as it stands before the converter: a failure the converter
  // records reaches the log, not the delivered envelope.
  const uint32_t error_code = instance->error_code;
  napi_value error = error_code == 0 ? nullptr
                                     : error_json(env, kit, error_code, instance->error_message, instance->error_tag,
                                                  instance->error_key);
  // An error request (operation 99) is no row: its answer is the envelope alone.
  if (const operation_row *row = offered_row(sphere, instance->operation)) {
    if (row->answer.outcome_word != nullptr)
      convert_processed_entries_list_to_json(env, instance.get(), row->answer.outcome_word, kit);
    else if (row->answer.on_success != nullptr && error_code == 0)
      row->answer.on_success(env, instance.get(), kit);
  }

  napi_value answer = kit.make_answer(error_code ? t_failure : t_success, sphere.rows[instance->operation_index].name, error);
  release_kept_strings(env, instance.get());  // the answer holds what it shows of them
  if (answer == nullptr) {
    texts.object(texts.function_name, napi_generic_failure);
    (void)napi_delete_async_work(env, instance->work);  // nothing more can be reported
    return;
  }
  if (napi_status status = napi_resolve_deferred(env, instance->deferred, answer); status != napi_ok)
    texts.resolve(texts.function_name, status);
  if (napi_status status = napi_delete_async_work(env, instance->work); status != napi_ok)
    texts.remove(texts.function_name, status);
}

}  // namespace cifs
