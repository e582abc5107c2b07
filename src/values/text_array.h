// Filling an answer array with texts the library handed back, a run of them
// per builder call (JavaScript thread only).
#pragma once

#include <node_api.h>

#include <optional>
#include <string_view>

#include "base/log.h"
#include "values/builders.h"
#include "values/env_cache.h"

namespace cifs {

// Appends every text `next()` hands out (std::optional<std::string_view>,
// nothing at the end) to `array` from index 0 on. A store that fails is
// logged as add_string_to_array logs it; the texts after it are dropped.
template <class Next>
void fill_text_array(napi_env env, const answer_kit &kit, napi_value array, Next &&next) {
  constexpr uint32_t run = 64;
  made_text texts[run];
  uint32_t first = 0, held = 0;
  bool failed = false;
  auto flush = [&] {
    if (held == 0 || failed) return;
    if (napi_status status = store_elements(env, kit, array, first, texts, held)) {
      CIFS_LOG_AS("add_string_to_array", LOG_ERR, "Failed to add data into NAPI array, error: %d", status);
      failed = true;
    }
    first += held;
    held = 0;
  };
  while (std::optional<std::string_view> text = next()) {
    texts[held++] = make_array_string(env, text->data(), text->size());
    if (held == run) flush();
  }
  flush();
}

}  // namespace cifs
