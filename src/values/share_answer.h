// The shares array of an answer, from a share list block the library handed
// over: the shares listing shows each share in full, the mapped shares of a
// connection in their own shorter form (JavaScript thread only).
#pragma once

#include <node_api.h>

#include <cstdint>

#include "request/request_instance.h"
#include "values/env_cache.h"

namespace cifs {

enum class share_form { full = 1, mapped = 2 };

// Adds `shares` from the instance's share_list. A record the list does not
// hold soundly is logged and its index left empty.
template <share_form form>
void cs_convert_shares_list_to_json(napi_env env, request_instance *instance, const answer_kit &kit);

// Makes one share (null: nothing) and stores it at `index` of `array`.
void cs_convert_share_info_to_json(napi_env env, const struct share_view *share, uint32_t index, napi_value array,
                                   share_form form, const answer_kit &kit);

}  // namespace cifs
