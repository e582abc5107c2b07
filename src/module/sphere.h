// The request cycle shared by the three CIFS spheres: a sphere is its table
// of operations and its texts; everything about promises and async work
// lives here.
#pragma once

#include <node_api.h>

#include <cstdint>
#include <span>

#include "base/log.h"
#include "request/request_instance.h"
#include "values/answer_texts.h"

namespace cifs {

inline constexpr int32_t error_request_operation = 99;

// Parser: JavaScript thread; 0, or non-zero with the error fields set.
using parser_fn = uint32_t (*)(napi_env env, napi_value request, request_instance *instance);

class answer_kit;

// Converter of one operation (JavaScript thread), run by the completion when
// the operation succeeded: adds the operation's keys to the answer through
// `kit` (which makes the answer after it, with its keys, in one step). The
// buffers the operation left in the instance go with the instance.
using answer_converter = void (*)(napi_env env, request_instance *instance, const answer_kit &kit);

// What the completion adds to the envelope: the keys of a converter when the
// operation succeeded, or, for an operation on several names, the outcome
// lists whether it succeeded or not (`outcome_word` names one entry in their
// texts). Neither: the envelope is the whole answer.
struct answer_step {
  answer_converter on_success = nullptr;
  const char *outcome_word = nullptr;
};
constexpr answer_step result_keys(answer_converter converter) { return {converter, nullptr}; }
constexpr answer_step outcome_lists(const char *entry_word) { return {nullptr, entry_word}; }
inline constexpr answer_step envelope_only{};

struct operation_row {
  fixed_text name;                       // t_empty in row 0
  parser_fn parser;                      // null: the operation has no inputs of its own
  napi_async_execute_callback executor;  // null: the operation is not offered (unknown)
  answer_step answer;
};

// A log line of a sphere's own, written under `func` with `number` for its
// %d if it has one. Made by CIFS_TEXT or CIFS_NUMBER_TEXT, whose literal is
// checked against its argument by the compiler.
using sphere_line = void (*)(const char *func, int number);
#define CIFS_TEXT(text) [](const char *func, int) { CIFS_LOG_AS(func, LOG_ERR, text); }
#define CIFS_NUMBER_TEXT(text) [](const char *func, int number) { CIFS_LOG_AS(func, LOG_ERR, text, number); }

struct sphere_texts {
  const char *function_name;  // the sphere's name in its log lines
  sphere_line allocation;
  sphere_line arguments;
  sphere_line unknown_operation;  // with the operation number
  sphere_line error_promise;      // with the failure code
};

// How a sphere reports an unreadable "operation" and "dn".
enum class request_rules {
  // "Failed to extract/convert: '%s'" (not logged); a DN failure becomes -1.
  shares_and_connections,
  // "Failed to extract/convert %s. Retry." (logged); a DN failure keeps the reader's code and text.
  contexts,
};

// Texts of a sphere's completion callback, each with the failing status.
struct completion_texts {
  const char *function_name;
  sphere_line object;
  sphere_line resolve;
  sphere_line remove;
};

struct sphere_def {
  std::span<const operation_row> rows;          // row 0 empty
  std::span<const char *const> descriptions;    // row 0 null
  sphere_texts texts;
  request_rules rules;
  completion_texts completion;
};

// The sphere call: returns the request's promise, or null (undefined). The
// request's work item completes with `complete`.
napi_value run_sphere(napi_env env, napi_callback_info info, const sphere_def &sphere,
                      napi_async_complete_callback complete);

// The completion frame: adopts the instance, builds the envelope, adds the
// operation's answer, resolves, deletes the work item and frees the instance.
void complete_request(napi_env env, void *data, const sphere_def &sphere);

// The completion callback of `sphere`. Node-API's status is not looked at:
// the instance holds the request's outcome, and the frame reports its own failures.
template <const sphere_def &sphere>
void work_complete(napi_env env, napi_status, void *data) {
  complete_request(env, data, sphere);
}

// The sphere function of `sphere`, as the module exports it.
template <const sphere_def &sphere>
napi_value sphere_entry(napi_env env, napi_callback_info info) {
  return run_sphere(env, info, sphere, work_complete<sphere>);
}

// Returns 0 or a module code; on failure a created promise stays pending.
uint32_t create_promise_and_async_work(napi_env env, const char *resource_name, napi_value *promise,
                                       napi_deferred *deferred, napi_async_work *work,
                                       napi_async_execute_callback execute, napi_async_complete_callback complete,
                                       void *data);

}  // namespace cifs
