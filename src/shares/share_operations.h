// The shares sphere's operations: parsers (JavaScript thread), executors
// (worker thread) and converters (JavaScript thread).
#pragma once

#include <node_api.h>

#include "request/request_instance.h"
#include "values/share_answer.h"

namespace cifs {

void cs_list_all_shares(napi_env env, void *data);

uint32_t get_shareconfig_input_data(napi_env env, napi_value request, request_instance *instance);
// A share record its parser could not allocate (errno tells why): recorded
// and logged under `parser`, which returns what this returns.
uint32_t share_record_not_allocated(request_instance *instance, const char *parser);
int get_share_configuration_value(napi_env env, napi_value request, request_instance *instance, const char *key,
                                  uint8_t *value);
void cs_create_share(napi_env env, void *data);
void cs_change_share_configuration(napi_env env, void *data);

uint32_t get_share_featureconfig_input_data(napi_env env, napi_value request, request_instance *instance);
void cs_change_share_feature_configuration(napi_env env, void *data);

uint32_t get_removeshare_input_data(napi_env env, napi_value request, request_instance *instance);
void cs_remove_share(napi_env env, void *data);

uint32_t get_list_openfiles_input_data(napi_env env, napi_value request, request_instance *instance);
void cs_list_open_files_of_share(napi_env env, void *data);
// Adds openFiles from the page the library answered; a page that cannot be
// taken, or with a record found unsound, is logged and adds nothing. The
// shared memory object is removed on every path; the header stays the
// instance's.
void cs_convert_open_files_list_to_json(napi_env env, request_instance *instance, const class answer_kit &kit);

uint32_t get_close_openfile_input_data(napi_env env, napi_value request, request_instance *instance);
void cs_close_open_file(napi_env env, void *data);
uint32_t get_close_allopenfiles_input_data(napi_env env, napi_value request, request_instance *instance);
void cs_close_all_open_files_of_share(napi_env env, void *data);

}  // namespace cifs
