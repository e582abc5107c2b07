// JavaScript handles made once per Node-API environment and held by
// reference in its instance data: the property keys, the fixed answer texts,
// the record builders and the names of the operations. Several environments
// (worker threads) each get their own; JavaScript thread of that environment only.
#pragma once

#include <node_api.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "values/keys.h"
#include "values/record_shapes.h"

namespace cifs {

// Texts that recur in answers; one string each per environment.
enum fixed_text : uint8_t {
  t_empty,
  t_success,
  t_failure,
  t_enabled,
  t_disabled,
  t_share_type_disk,
  t_share_type_system,
  t_share_type_ipc,
  t_share_type_custom,
  t_share_type_dfs,
  t_name_space_dos,
  t_name_space_mac,
  t_name_space_unix,
  t_name_space_long,
  fixed_text_count,
};

extern const char *const fixed_texts[fixed_text_count];

class env_cache {
 public:
  // The environment's cache, made on its first use. Null when it cannot be
  // made; the callers then build every answer key by key.
  static env_cache *of(napi_env env);

  // Each is null when the engine cannot hand it out (never expected).
  napi_value key(comn_key k) const { return element(comn_keys_, k); }
  napi_value key(cifs_key k) const { return element(cifs_keys_, k); }
  napi_value text(fixed_text t) const { return element(texts_, t); }
  napi_value builder(record_kind kind) const { return element(builders_, kind); }
  // A string for `literal`, a text of static storage such as an operation
  // table's name, made on first use and cached by its address.
  napi_value literal_text(const char *literal);

  ~env_cache();

 private:
  explicit env_cache(napi_env env) : env_(env) {}
  bool fill();
  napi_value element(napi_ref array, uint32_t index) const;

  napi_env env_;
  // References hold objects only, so strings are held as elements of arrays.
  napi_ref comn_keys_ = nullptr, cifs_keys_ = nullptr, texts_ = nullptr, builders_ = nullptr,
           literals_ = nullptr;
  std::unordered_map<const char *, uint32_t> literal_index_;
};

// What a converter needs to make records: the environment's cache, with its
// fixed texts and builders taken out of their references on first use and
// kept for the rest of the callback (their handles live as long as its
// scope). Without a cache a fixed text is made at each use, and a failure
// logged as a builder's; records are then built key by key.
class answer_kit {
 public:
  explicit answer_kit(napi_env env) : env_(env), cache_(env_cache::of(env)) {}
  env_cache *cache() const { return cache_; }
  napi_value text(fixed_text t, const char *key) const;
  // A text of the library's answer, made as make_string_utf8 makes it. Short
  // texts recur (volume names, empty comments, states), so one string serves
  // every record of the answer that repeats it, as JSON.parse shares them.
  napi_value answer_text(const char *key, std::string_view text) const;
  napi_value builder(record_kind kind) const;
  napi_value undefined() const;

 private:
  napi_env env_;
  env_cache *cache_;
  mutable napi_value fixed_[fixed_text_count] = {};
  mutable napi_value builders_[record_kind_count] = {};
  mutable napi_value undefined_ = nullptr;

  // Direct-mapped: a later text that falls on a taken slot replaces it, so a
  // long answer of distinct names costs nothing more than the lookup.
  static constexpr size_t shared_text_limit = 10;
  static constexpr size_t shared_slots = 512;
  struct shared_text {
    char bytes[shared_text_limit];
    uint8_t length;
    napi_value value;
  };
  mutable std::unique_ptr<shared_text[]> shared_;
};

// One record made by build_record; `stored` when it already sits in the
// target array.
struct built_record {
  napi_value object;
  bool stored;
};

// Makes one record of `kind` from `values`, one per key of its shape (null:
// the key is left out, because the record omits it or its value could not be
// made). With every required value present it is one call of the compiled
// builder, which also stores it at `index` of `target` when a target is
// given; otherwise, or without a cache, it is built key by key and not
// stored. A null object when it cannot be made; a pending exception is then
// cleared, and the caller logs its own line.
built_record build_record(napi_env env, const answer_kit &kit, record_kind kind, const napi_value *values,
                          napi_value target = nullptr, uint32_t index = 0);

}  // namespace cifs
