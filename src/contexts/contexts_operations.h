// User contexts: list, add and remove through the management library.
#pragma once

#include <node_api.h>

#include "request/request_instance.h"

namespace cifs {

uint32_t get_contexts_list_input_data(napi_env env, napi_value request, request_instance *instance);
void get_cifs_user_contexts(napi_env env, void *data);
void add_cifs_user_contexts(napi_env env, void *data);
void remove_cifs_user_contexts(napi_env env, void *data);
void cifs_contexts_list_json(napi_env env, request_instance *instance, const class answer_kit &kit);

}  // namespace cifs
