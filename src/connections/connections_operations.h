// The connections sphere's operations: parsers (JavaScript thread), executors
// (worker thread) and converters (JavaScript thread).
#pragma once

#include <node_api.h>

#include "request/request_instance.h"
#include "values/share_answer.h"

namespace cifs {

class answer_kit;

// Count and list.
void cc_get_connections_count(napi_env env, void *data);
// Adds activeConnections.
void cc_convert_connections_count_to_json(napi_env env, request_instance *instance, const answer_kit &kit);
uint32_t get_list_connections_input_data(napi_env env, napi_value request, request_instance *instance);
void cc_list_all_connections(napi_env env, void *data);
void cc_convert_connections_list_to_json(napi_env env, request_instance *instance, const answer_kit &kit);

// Details and mapped shares of one connection.
uint32_t get_connection_details_input_data(napi_env env, napi_value request, request_instance *instance);
void cc_get_connection_details(napi_env env, void *data);
void cc_list_connection_mapped_shares(napi_env env, void *data);
// Adds `connection`: the single record with its security equivalences.
void cc_convert_connection_details_to_json(napi_env env, request_instance *instance, const answer_kit &kit);

// Open files of one connection.
uint32_t get_list_connection_openfiles_input_data(napi_env env, napi_value request, request_instance *instance);
void cc_list_connection_open_files(napi_env env, void *data);
// Adds openFiles from the page the library answered; the shared memory object
// is removed on every path, the header stays the instance's.
void cc_convert_open_files_list_to_json(napi_env env, request_instance *instance, const answer_kit &kit);

// Cached invalid users.
uint32_t get_list_invalid_users_input_data(napi_env env, napi_value request, request_instance *instance);
void cc_list_invalid_users(napi_env env, void *data);
// Adds invalidUsers, as cc_convert_open_files_list_to_json adds openFiles.
void cc_convert_invalid_users_list_to_json(napi_env env, request_instance *instance, const answer_kit &kit);

// Invalid and blocked users.
uint32_t get_invalid_username_input_data(napi_env env, napi_value request, request_instance *instance);
void cc_add_permanent_invalid_user(napi_env env, void *data);
uint32_t get_multiple_invalid_usernames_input_data(napi_env env, napi_value request, request_instance *instance);
void cc_make_permanent_invalid_user(napi_env env, void *data);
void cc_remove_invalid_users(napi_env env, void *data);

}  // namespace cifs
