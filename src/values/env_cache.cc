#include "values/env_cache.h"

#include <cstring>
#include <string>

#include "module/napi_call.h"
#include "values/builders.h"

namespace cifs {

const char *const fixed_texts[fixed_text_count] = {
    "",     "success",     "failure",  "enabled", "disabled", "Disk Directory Tree", "System",
    "Inter Process Communication", "Custom Data Share", "Global DFS namespace", "dos", "mac", "unix", "long",
};

namespace {

// A JavaScript string literal for `text`. Literals of a compiled script are
// internalized, so the keys made this way are the engine's own property names.
void append_literal(std::string &out, const char *text) {
  out += '"';
  for (const char *p = text; *p; ++p) {
    if (*p == '"' || *p == '\\') out += '\\';
    out += *p;
  }
  out += '"';
}

template <size_t N>
void append_array(std::string &out, const char *const (&texts)[N]) {
  out += '[';
  for (size_t i = 0; i < N; ++i) {
    if (i) out += ',';
    append_literal(out, texts[i]);
  }
  out += "],";
}

// [comn keys, cifs keys, fixed texts, builders, operation names made later]
std::string cache_source() {
  std::string out = "[";
  append_array(out, comn_keys);
  append_array(out, cifs_keys);
  append_array(out, fixed_texts);
  out += '[';
  for (int kind = 0; kind < record_kind_count; ++kind) {
    out += record_builder_source(record_keys(static_cast<record_kind>(kind)));
    out += ',';
  }
  return out + "],[]]";
}

void finalize_cache(napi_env, void *data, void *) { delete static_cast<env_cache *>(data); }

}  // namespace

env_cache::~env_cache() {
  // Environment teardown: the references go with it; nothing to report.
  for (napi_ref ref : {comn_keys_, cifs_keys_, texts_, builders_, literals_})
    if (ref) (void)napi_delete_reference(env_, ref);
}

napi_value env_cache::element(napi_ref array, uint32_t index) const {
  napi_value held, value;
  if (napi_get_reference_value(env_, array, &held) != napi_ok || napi_get_element(env_, held, index, &value) != napi_ok)
    return nullptr;
  return value;
}

bool env_cache::fill() {
  const std::string source = cache_source();
  napi_value script, all;
  if (napi_create_string_utf8(env_, source.data(), source.size(), &script) != napi_ok ||
      napi_run_script(env_, script, &all) != napi_ok)
    return false;
  napi_ref *const parts[] = {&comn_keys_, &cifs_keys_, &texts_, &builders_, &literals_};
  for (uint32_t i = 0; i < sizeof parts / sizeof parts[0]; ++i) {
    napi_value part;
    if (napi_get_element(env_, all, i, &part) != napi_ok || napi_create_reference(env_, part, 1, parts[i]) != napi_ok)
      return false;
  }
  return true;
}

env_cache *env_cache::of(napi_env env) {
  void *data = nullptr;
  if (napi_get_instance_data(env, &data) == napi_ok && data != nullptr) return static_cast<env_cache *>(data);
  auto *cache = new (std::nothrow) env_cache(env);
  if (cache == nullptr) return nullptr;
  if (!cache->fill() || napi_set_instance_data(env, cache, finalize_cache, nullptr) != napi_ok) {
    clear_pending_exception(env);
    delete cache;  // tried again on the next call
    return nullptr;
  }
  return cache;
}

napi_value env_cache::literal_text(const char *literal) {
  if (literal == nullptr) return text(t_empty);
  auto found = literal_index_.find(literal);
  if (found != literal_index_.end()) return element(literals_, found->second);
  napi_value value, held;
  if (napi_create_string_utf8(env_, literal, NAPI_AUTO_LENGTH, &value) != napi_ok) return nullptr;
  const auto index = static_cast<uint32_t>(literal_index_.size());
  if (napi_get_reference_value(env_, literals_, &held) == napi_ok && napi_set_element(env_, held, index, value) == napi_ok)
    literal_index_.emplace(literal, index);
  return value;
}

napi_value answer_kit::text(fixed_text t, const char *key) const {
  if (fixed_[t] == nullptr && cache_ != nullptr) fixed_[t] = cache_->text(t);
  if (fixed_[t] != nullptr) return fixed_[t];
  return make_string_utf8(env_, key, fixed_texts[t], std::strlen(fixed_texts[t]));
}

napi_value answer_kit::answer_text(const char *key, std::string_view text) const {
  if (text.size() > shared_text_limit || text.empty())
    return make_string_utf8(env_, key, text.data(), text.size());  // the engine shares the empty string itself
  uint32_t hash = 2166136261u;  // FNV-1a
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  if (!shared_) shared_.reset(new (std::nothrow) shared_text[shared_slots]());
  if (!shared_) return make_string_utf8(env_, key, text.data(), text.size());
  shared_text &slot = shared_[hash % shared_slots];
  if (slot.value != nullptr && slot.length == text.size() && std::memcmp(slot.bytes, text.data(), text.size()) == 0)
    return slot.value;
  napi_value value = make_string_utf8(env_, key, text.data(), text.size());
  if (value != nullptr) {
    std::memcpy(slot.bytes, text.data(), text.size());
    slot.length = static_cast<uint8_t>(text.size());
    slot.value = value;
  }
  return value;
}

napi_value answer_kit::builder(record_kind kind) const {
  if (builders_[kind] == nullptr && cache_ != nullptr) builders_[kind] = cache_->builder(kind);
  return builders_[kind];
}

napi_value answer_kit::undefined() const {
  if (undefined_ == nullptr && napi_get_undefined(env_, &undefined_) != napi_ok) undefined_ = nullptr;
  return undefined_;
}

built_record build_record(napi_env env, const answer_kit &kit, record_kind kind, const napi_value *values,
                          napi_value target, uint32_t index) {
  const std::span<const record_key> keys = record_keys(kind);
  bool complete = true;
  for (size_t i = 0; i < keys.size(); ++i)
    if (values[i] == nullptr && !keys[i].optional) complete = false;

  napi_value record = nullptr;
  napi_value builder = complete ? kit.builder(kind) : nullptr;
  napi_value undefined = kit.undefined();
  if (builder != nullptr && undefined != nullptr) {
    napi_value argv[2 + record_max_keys];
    argv[0] = target ? target : undefined;
    if (napi_create_uint32(env, index, &argv[1]) == napi_ok) {
      for (size_t i = 0; i < keys.size(); ++i) argv[2 + i] = values[i] ? values[i] : undefined;
      if (napi_call_function(env, undefined, builder, 2 + keys.size(), argv, &record) == napi_ok)
        return {record, target != nullptr};
      clear_pending_exception(env);
    }
  }
  // A value is missing (or the builder is unavailable): the record keeps
  // every key that could be made, in order.
  if (napi_create_object(env, &record) != napi_ok) {
    clear_pending_exception(env);
    return {nullptr, false};
  }
  for (size_t i = 0; i < keys.size(); ++i)
    if (values[i] != nullptr) (void)napi_set_named_property(env, record, keys[i].name, values[i]);  // as a builder does
  return {record, false};
}

}  // namespace cifs
