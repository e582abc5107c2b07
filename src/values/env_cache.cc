#include "values/env_cache.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "request/napi_call.h"
#include "values/builders.h"

namespace cifs {

namespace {

// A JavaScript string literal for `text`, which needs no escape (the key and
// text tables are checked for that at compile time). Literals of a compiled
// script are internalized, so the keys made this way are the engine's own
// property names.
void append_literal(std::string &out, const char *text) {
  out += '"';
  out += text;
  out += '"';
}

// The texts as elements of an array literal, each after a comma when
// `after_others`.
void append_elements(std::string &out, std::span<const char *const> texts, bool after_others) {
  for (const char *text : texts) {
    if (after_others) out += ',';
    after_others = true;
    append_literal(out, text);
  }
}

// A function of the Uint32Array N returning [builder of each kind..., list
// builder, T, answer builder, run builder of each kind..., H]; the functions
// close over N, the fixed texts T and the keys K, array literals of their
// own, and the shared strings H, and T and H are handed out too.
std::string cache_source() {
  std::string out = "(function(N){var T=[";
  append_elements(out, fixed_texts, false);
  out += "],K=[";
  append_elements(out, comn_keys, false);
  append_elements(out, cifs_keys, true);
  out += "],H={__proto__:null};";
  out += text_set_source();
  out += "return[";
  for (int kind = 0; kind < record_kind_count; ++kind) {
    out += record_builder_source(record_keys(static_cast<record_kind>(kind)));
    out += ',';
  }
  out += list_builder_source();
  out += ",T,";
  out += answer_builder_source(answer_kit::held_limit);
  for (int kind = 0; kind < record_kind_count; ++kind) {
    out += ',';
    out += record_run_builder_source(record_keys(static_cast<record_kind>(kind)));
  }
  return out + ",H];})";
}

void finalize_cache(napi_env, void *data, void *) { delete static_cast<env_cache *>(data); }

// Builder calls pass at most this many values at once.
constexpr size_t list_chunk = 64;

}  // namespace

env_cache::~env_cache() {
  // Environment teardown: the references go with it; nothing to report.
  auto release = [this](napi_ref ref) {
    if (ref) (void)napi_delete_reference(env_, ref);
  };
  release(list_builder_);
  release(answer_builder_);
  release(fixed_texts_);
  release(shared_strings_);
  release(array_prototype_);
  release(object_prototype_);
  for (napi_ref ref : builders_) release(ref);
  for (napi_ref ref : run_builders_) release(ref);
}

napi_value env_cache::value(napi_ref ref) const {
  napi_value held = nullptr;
  if (ref == nullptr || napi_get_reference_value(env_, ref, &held) != napi_ok) return nullptr;
  return held;
}

napi_value env_cache::element(napi_ref array, uint32_t index) const {
  napi_value held = value(array), element;
  if (held == nullptr || napi_get_element(env_, held, index, &element) != napi_ok) return nullptr;
  return element;
}

bool env_cache::fill() {
  const std::string source = cache_source();
  napi_value script, make, buffer, numbers, undefined, all;
  void *data = nullptr;
  if (napi_create_string_utf8(env_, source.data(), source.size(), &script) != napi_ok ||
      napi_run_script(env_, script, &make) != napi_ok ||
      napi_create_arraybuffer(env_, number_slots * sizeof(uint32_t), &data, &buffer) != napi_ok ||
      napi_create_typedarray(env_, napi_uint32_array, number_slots, buffer, 0, &numbers) != napi_ok ||
      napi_get_undefined(env_, &undefined) != napi_ok ||
      napi_call_function(env_, undefined, make, 1, &numbers, &all) != napi_ok)
    return false;
  numbers_ = static_cast<uint32_t *>(data);
  napi_value array, array_prototype, object, object_prototype;
  if (napi_create_array(env_, &array) != napi_ok || napi_get_prototype(env_, array, &array_prototype) != napi_ok ||
      napi_create_reference(env_, array_prototype, 1, &array_prototype_) != napi_ok ||
      napi_create_object(env_, &object) != napi_ok || napi_get_prototype(env_, object, &object_prototype) != napi_ok ||
      napi_create_reference(env_, object_prototype, 1, &object_prototype_) != napi_ok)
    return false;
  auto hold = [this, all](uint32_t index, napi_ref *ref) {
    napi_value part;
    return napi_get_element(env_, all, index, &part) == napi_ok && napi_create_reference(env_, part, 1, ref) == napi_ok;
  };
  if (!hold(record_kind_count, &list_builder_) || !hold(record_kind_count + 1, &fixed_texts_) ||
      !hold(record_kind_count + 2, &answer_builder_) || !hold(2 * record_kind_count + 3, &shared_strings_))
    return false;
  for (uint32_t kind = 0; kind < record_kind_count; ++kind)
    if (!hold(kind, &builders_[kind]) || !hold(record_kind_count + 3 + kind, &run_builders_[kind])) return false;
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

napi_value answer_kit::builder(record_kind kind) const {
  if (builders_[kind] == nullptr && cache_ != nullptr) builders_[kind] = cache_->builder(kind);
  return builders_[kind];
}

napi_value answer_kit::number(uint32_t n) const {
  // Fixed text indexes and text set bits are small; a larger number is an
  // index, which an answer passes once.
  if (n < small_numbers && small_numbers_[n] != nullptr) return small_numbers_[n];
  napi_value made = nullptr;
  if (napi_create_uint32(env_, n, &made) != napi_ok) return nullptr;
  if (n < small_numbers) small_numbers_[n] = made;
  return made;
}

napi_value answer_kit::run_builder(record_kind kind) const {
  if (run_builders_[kind] == nullptr && cache_ != nullptr) run_builders_[kind] = cache_->run_builder(kind);
  return run_builders_[kind];
}

napi_value answer_kit::list_builder() const {
  if (list_builder_ == nullptr && cache_ != nullptr) list_builder_ = cache_->list_builder();
  return list_builder_;
}

bool answer_kit::hold(uint32_t key_index, napi_value value) const {
  if (held_count_ == held_limit) return false;
  if (napi_create_uint32(env_, key_index, &held_[2 * held_count_]) != napi_ok) return false;
  held_[2 * held_count_ + 1] = value;
  ++held_count_;
  return true;
}

napi_value answer_kit::make_answer(fixed_text status, fixed_text operation, napi_value error) const {
  napi_value builder = cache_ ? cache_->answer_builder() : nullptr;
  napi_value argv[4 + 2 * held_limit], answer;
  if (builder == nullptr || (argv[0] = number(status)) == nullptr ||
      (argv[1] = number(operation)) == nullptr || (argv[2] = error ? error : undefined()) == nullptr ||
      (argv[3] = number(held_count_)) == nullptr)
    return nullptr;
  std::memcpy(argv + 4, held_, 2 * held_count_ * sizeof(napi_value));
  if (napi_call_function(env_, undefined(), builder, 4 + 2 * held_count_, argv, &answer) != napi_ok) {
    clear_pending_exception(env_);
    return nullptr;
  }
  return answer;
}

bool answer_kit::plain_stores(uint32_t end) const {
  if (end <= plain_below_) return true;
  return !not_plain_ && find_plain_stores(end);
}

bool answer_kit::find_plain_stores(uint32_t end) const {
  if (!chain_checked_) {
    // Array.prototype is an array: an index property of its own makes its
    // length at least 1.
    chain_checked_ = true;
    napi_value array_prototype = cache_ ? cache_->array_prototype() : nullptr, chain_next;
    object_prototype_ = cache_ ? cache_->object_prototype() : nullptr;
    uint32_t length = 1;
    bool same = false;
    not_plain_ = !(array_prototype != nullptr && object_prototype_ != nullptr &&
                   napi_get_array_length(env_, array_prototype, &length) == napi_ok && length == 0 &&
                   napi_get_prototype(env_, array_prototype, &chain_next) == napi_ok &&
                   napi_strict_equals(env_, chain_next, object_prototype_, &same) == napi_ok && same);
  }
  // Object.prototype is an ordinary object (its own prototype is fixed to
  // null), so asking it for an index runs no code. A few indexes are asked
  // one by one; for more, its own keys are listed once, indexes first, which
  // costs more than a small answer's whole building.
  constexpr uint32_t asked_one_by_one = 16;
  bool has = false;
  if (!not_plain_ && end - plain_below_ <= asked_one_by_one) {
    for (uint32_t i = plain_below_; !not_plain_ && i < end; ++i)
      not_plain_ = napi_has_element(env_, object_prototype_, i, &has) != napi_ok || has;
    if (!not_plain_) plain_below_ = end;
  } else if (!not_plain_) {
    napi_value keys, first_key;
    uint32_t key_count = 1;
    napi_valuetype first_type = napi_number;
    not_plain_ = !(napi_get_all_property_names(env_, object_prototype_, napi_key_own_only, napi_key_skip_symbols,
                                               napi_key_keep_numbers, &keys) == napi_ok &&
                   napi_get_array_length(env_, keys, &key_count) == napi_ok &&
                   (key_count == 0 || (napi_get_element(env_, keys, 0, &first_key) == napi_ok &&
                                       napi_typeof(env_, first_key, &first_type) == napi_ok &&
                                       first_type != napi_number)));
    if (!not_plain_) plain_below_ = UINT32_MAX;
  }
  if (not_plain_) clear_pending_exception(env_);
  return !not_plain_;
}

napi_value answer_kit::fixed(fixed_text t) const {
  if (fixed_[t] == nullptr && cache_ != nullptr) fixed_[t] = cache_->fixed(t);
  return fixed_[t];
}

napi_value answer_kit::undefined() const {
  if (undefined_ == nullptr && napi_get_undefined(env_, &undefined_) != napi_ok) undefined_ = nullptr;
  return undefined_;
}

made_text answer_kit::answer_text(const char *key, std::string_view text) const {
  if (!env_cache::shares(text) || cache_ == nullptr) return make_string_utf8(env_, key, text.data(), text.size());
  const short_text short_key = short_text::of(text);
  uint32_t slot;
  if (cache_->find_next(short_key, &slot)) return made_text::held(env_, slot);
  if (made_text met; cache_->recent(short_key, &met)) return met;
  // A text met out of the walk's order may recur in this answer.
  const made_text made =
      cache_->indexed_or_kept(short_key, [&] { return new_string_value(env_, key, text.data(), text.size()); });
  if (made.is_held() || made.value() != nullptr) cache_->remember(short_key, made);
  return made;
}

bool env_cache::recent(const short_text &text, made_text *made) const {
  if (!recent_) return false;
  const recent_text &entry = recent_[text.hash() % recent_slots];
  if (entry.answer != static_cast<uint32_t>(answer_number_) || !(entry.text == text)) return false;
  *made = entry.slot == no_slot ? made_text(entry.value) : made_text::held(env_, entry.slot);
  return true;
}

void env_cache::remember(const short_text &text, const made_text &made) {
  if (!recent_) recent_.reset(new (std::nothrow) recent_text[recent_slots]());
  if (recent_)
    recent_[text.hash() % recent_slots] = {text, made.is_held() ? nullptr : made.value(),
                                           made.is_held() ? made.slot() : no_slot,
                                           static_cast<uint32_t>(answer_number_)};
}

void env_cache::next_answer() {
  // Entries name their answer by its low half: after 2^32 answers one could
  // look current again, with a handle long gone.
  if (static_cast<uint32_t>(++answer_number_) == 0 && recent_)
    std::fill(recent_.get(), recent_.get() + recent_slots, recent_text{});
}

bool env_cache::find_next(const short_text &text, uint32_t *slot) {
  if (!ring_) return false;
  // The texts of a list asked for again come in the order they were kept:
  // after the last one found, or once after the last one the index found
  // (the walk picks up there after a text that recurs elsewhere).
  for (const uint32_t last : {last_found_, last_indexed_}) {
    const uint32_t next = (last + 1) & slot_mask;
    if (last != no_slot && ring_[next] == text) {
      used_[next] = static_cast<uint8_t>(answer_number_);
      *slot = last_found_ = next;
      return true;
    }
  }
  return false;
}

bool env_cache::find_indexed(const short_text &text, uint32_t *slot) {
  *slot = no_slot;
  if (!ring_) {
    // Zero: every entry and way empty; pages not yet touched take no memory.
    ring_.reset(static_cast<short_text *>(std::calloc(shared_slots, sizeof(short_text))));
    used_.reset(static_cast<uint8_t *>(std::calloc(shared_slots, 1)));
    index_.reset(static_cast<uint32_t *>(std::calloc(index_sets * index_ways, sizeof(uint32_t))));
    if (!ring_ || !used_ || !index_) {
      ring_.reset();
      return false;
    }
  }
  const uint32_t hash = text.hash();
  const uint32_t fingerprint = (hash >> 18) | 1;
  uint32_t *ways = &index_[hash % index_sets * index_ways];
  for (uint32_t w = 0; w < index_ways; ++w) {
    const uint32_t at = ways[w] & slot_mask;
    if (ways[w] != 0 && ways[w] >> slot_bits == fingerprint && ring_[at] == text) {
      used_[at] = static_cast<uint8_t>(answer_number_);
      *slot = last_indexed_ = at;
      return true;
    }
  }
  // Not held: a replaced text is likely where the walk goes on.
  if (last_found_ != no_slot) last_found_ = (last_found_ + 1) & slot_mask;
  for (uint32_t step = 0; step < ring_steps; ++step) {
    const uint32_t at = (next_free_ + step) & slot_mask;
    if (replaceable(at)) {
      *slot = at;
      break;
    }
  }
  return false;
}

void env_cache::unindex(uint32_t slot) {
  uint32_t *ways = &index_[ring_[slot].hash() % index_sets * index_ways];
  for (uint32_t w = 0; w < index_ways; ++w)
    if (ways[w] != 0 && (ways[w] & slot_mask) == slot) ways[w] = 0;
}

void env_cache::keep_shared(uint32_t slot, const short_text &text, napi_value value) {
  napi_value strings;
  if (napi_get_reference_value(env_, shared_strings_, &strings) != napi_ok ||
      napi_set_element(env_, strings, slot, value) != napi_ok) {
    clear_pending_exception(env_);
    return;
  }
  if (!ring_[slot].empty()) unindex(slot);
  ring_[slot] = text;
  used_[slot] = static_cast<uint8_t>(answer_number_);
  // A full set gives up the way its hash names: that entry stays in the
  // ring, found by the walk alone.
  const uint32_t hash = text.hash();
  uint32_t *ways = &index_[hash % index_sets * index_ways];
  uint32_t way = (hash >> 8) % index_ways;
  for (uint32_t w = 0; w < index_ways; ++w)
    if (ways[w] == 0) {
      way = w;
      break;
    }
  ways[way] = ((hash >> 18) | 1) << slot_bits | slot;
  next_free_ = (slot + 1) & slot_mask;
}

namespace {

// A field as a builder takes it: its value, a fixed text's index or a text
// set's bits as a number, or undefined for a key left out or passed with
// the numbers (a held string's slot, a number of the library's answer);
// null when the number cannot be made.
napi_value builder_argument(const answer_kit &kit, const field &f) {
  switch (f.kind) {
    case field::made:
      return f.value;
    case field::fixed_text_index:
    case field::text_set_bits:
      return kit.number(f.number);
    case field::held_string:
    case field::uint32_value:
    case field::absent:
      break;
  }
  return kit.undefined();
}

// A record's arguments, as its builder takes them after t, i and p, and its
// numbers at `numbers` (N[p] on): the bits of the keys whose string is held,
// the bits of the keys whose value is a number there, then each such key's
// slot or number at 2 + its index. False when one cannot be made.
bool record_arguments(const answer_kit &kit, const field *fields, size_t width, napi_value *out, uint32_t *numbers) {
  uint32_t held = 0, passed = 0;
  for (size_t i = 0; i < width; ++i) {
    if (fields[i].kind == field::held_string) held |= 1u << i;
    else if (fields[i].kind == field::uint32_value) passed |= 1u << i;
    numbers[2 + i] = fields[i].number;
    if ((out[i] = builder_argument(kit, fields[i])) == nullptr) return false;
  }
  numbers[0] = held;
  numbers[1] = passed;
  return true;
}

}  // namespace

built_record build_record_of(napi_env env, const answer_kit &kit, record_kind kind, const field *fields,
                             napi_value target, uint32_t index) {
  const size_t width = record_keys(kind).size();
  napi_value builder = kit.builder(kind), undefined = kit.undefined(), record;
  napi_value argv[3 + record_max_keys];
  // The builder stores the record itself only where a plain store is safe.
  const bool stored_by_builder = target != nullptr && kit.plain_stores(index + 1);
  argv[0] = stored_by_builder ? target : undefined;
  if (builder != nullptr && undefined != nullptr && kit.numbers() != nullptr && (argv[1] = kit.number(index)) != nullptr &&
      (argv[2] = kit.number(0)) != nullptr && record_arguments(kit, fields, width, argv + 3, kit.numbers()) &&
      napi_call_function(env, undefined, builder, 3 + width, argv, &record) == napi_ok &&
      (target == nullptr || stored_by_builder || define_elements(env, target, index, &record, 1) == napi_ok))
    return {record, target != nullptr};
  clear_pending_exception(env);
  return {nullptr, false};
}

record_run_base::record_run_base(napi_env env, const answer_kit &kit, record_kind kind, napi_value array,
                                 const char *converter, const element_texts &texts)
    : env_(env),
      kit_(kit),
      kind_(kind),
      width_(record_keys(kind).size()),
      array_(array),
      converter_(converter),
      texts_(texts) {}

bool record_run_base::add_fields(const field *fields, uint32_t index) {
  // Records keep their order: a gap ends the run before it.
  const bool before_made = held_ == 0 || index == first_ + held_ || flush();
  if (held_ == 0) first_ = index;
  std::copy(fields, fields + width_, fields_ + held_ * width_);
  const bool made = ++held_ < run_length || flush();
  return before_made && made;
}

bool record_run_base::build_one(const field *fields, uint32_t index) {
  const built_record record = build_record_of(env_, kit_, kind_, fields, array_, index);
  if (record.object == nullptr) {
    if (texts_.object_with_status)
      CIFS_LOG_AS(converter_, LOG_ERR, "%s, error: %d", texts_.object, static_cast<int>(napi_generic_failure));
    else
      CIFS_LOG_AS(converter_, LOG_ERR, "%s", texts_.object);
    return false;
  }
  return true;
}

bool record_run_base::flush() {
  const uint32_t count = held_;
  held_ = 0;
  if (count == 0) return true;
  if (!kit_.plain_stores(first_ + count)) return build_each(count);
  napi_value argv[4 + run_length * record_max_keys];
  napi_value undefined = kit_.undefined(), run_builder = kit_.run_builder(kind_);
  const size_t stride = 2 + width_;  // a record's numbers: its two sets of bits, then one per key
  bool ready = run_builder != nullptr && undefined != nullptr && kit_.numbers() != nullptr &&
               (argv[1] = kit_.number(first_)) != nullptr && (argv[2] = kit_.number(count)) != nullptr &&
               (argv[3] = kit_.number(0)) != nullptr;
  argv[0] = array_;
  for (uint32_t k = 0; ready && k < count; ++k)
    ready = record_arguments(kit_, fields_ + k * width_, width_, argv + 4 + k * width_, kit_.numbers() + k * stride);
  napi_value ignored;
  if (ready && napi_call_function(env_, undefined, run_builder, 4 + count * width_, argv, &ignored) == napi_ok)
    return true;
  clear_pending_exception(env_);
  return build_each(count);
}

bool record_run_base::build_each(uint32_t count) {
  // One at a time, each failure reported as a single record's; the others
  // of the run are still made (a listing that drops its page on a failure
  // drops them with it, a list that goes on keeps them).
  bool all_made = true;
  for (uint32_t k = 0; k < count; ++k) all_made = build_one(fields_ + k * width_, first_ + k) && all_made;
  return all_made;
}

napi_status store_elements(napi_env env, const answer_kit &kit, napi_value array, uint32_t first,
                           const made_text *texts, size_t count) {
  static_assert(list_chunk <= env_cache::number_slots);
  const bool plain = kit.plain_stores(static_cast<uint32_t>(first + count));
  napi_value list_builder = plain ? kit.list_builder() : nullptr;
  size_t i = 0;
  while (i < count) {
    // A run of made texts goes in one call; an unmade one is skipped.
    size_t run = 0;
    while (i + run < count && run < list_chunk && texts[i + run].is_made()) ++run;
    if (run == 0) {
      ++i;
      continue;
    }
    const auto at = static_cast<uint32_t>(first + i);
    napi_value argv[3 + list_chunk], ignored;
    bool called = list_builder != nullptr && kit.numbers() != nullptr && (argv[1] = kit.number(at)) != nullptr &&
                  (argv[2] = kit.number(0)) != nullptr && kit.undefined() != nullptr;
    if (called) {
      argv[0] = array;
      for (size_t k = 0; k < run; ++k) {
        const made_text &text = texts[i + k];
        argv[3 + k] = text.is_held() ? kit.undefined() : text.value();
        kit.numbers()[k] = text.is_held() ? text.slot() : 0;
      }
      called = napi_call_function(env, kit.undefined(), list_builder, 3 + run, argv, &ignored) == napi_ok;
      if (!called) clear_pending_exception(env);
    }
    if (!called) {
      napi_value values[list_chunk];
      for (size_t k = 0; k < run; ++k) values[k] = texts[i + k].value();
      if (napi_status status = define_elements(env, array, at, values, run)) return status;
    }
    i += run;
  }
  return napi_ok;
}

napi_status define_elements(napi_env env, napi_value array, uint32_t first, const napi_value *values,
                            size_t count) {
  constexpr auto own_data = static_cast<napi_property_attributes>(napi_writable | napi_enumerable | napi_configurable);
  napi_property_descriptor chunk[list_chunk];
  size_t held = 0;
  for (size_t i = 0; i <= count; ++i) {
    if (held == list_chunk || (i == count && held != 0)) {
      // Names must be strings; the engine reads an index in them.
      if (napi_status status = napi_define_properties(env, array, held, chunk)) {
        clear_pending_exception(env);
        return status;
      }
      held = 0;
    }
    if (i == count || values[i] == nullptr) continue;
    char digits[10];  // a uint32_t has at most 10
    size_t at = sizeof digits;
    for (uint32_t index = first + static_cast<uint32_t>(i); at == sizeof digits || index != 0; index /= 10)
      digits[--at] = static_cast<char>('0' + index % 10);
    napi_value name;
    if (napi_status status = napi_create_string_latin1(env, digits + at, sizeof digits - at, &name)) return status;
    chunk[held++] = {nullptr, name, nullptr, nullptr, nullptr, values[i], own_data, nullptr};
  }
  return napi_ok;
}

}  // namespace cifs
