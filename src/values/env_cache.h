// JavaScript handles made once per Node-API environment and held in its
// instance data: the record builders, which hold the keys and fixed answer
// texts in their scope, and the short texts answers share. Several
// environments (worker threads) each get their own; JavaScript thread of
// that environment only.
#pragma once

#include <node_api.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "base/malloc_ptr.h"
#include "values/answer_texts.h"
#include "values/builders.h"
#include "values/keys.h"
#include "values/record_shapes.h"

namespace cifs {

// A short text (at most 15 bytes) as the tables of shared texts compare it:
// its length in the first byte, then its bytes, zeros after them, so two
// texts compare as two words.
struct short_text {
  uint64_t words[2];
  static short_text of(std::string_view text) {
    // Read in at most two loads of 8 bytes (overlapping), never past the
    // text's end; the text is at most 15 bytes (env_cache::shares).
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const size_t n = text.size();
    uint64_t head = 0, tail = 0;
    if (n >= 8) {
      std::memcpy(&head, p, 8);
      std::memcpy(&tail, p + n - 8, 8);
      tail >>= 8 * (15 - n);  // the bytes from the eighth on, as the second word
    } else if (n >= 4) {
      uint32_t low, high;
      std::memcpy(&low, p, 4);
      std::memcpy(&high, p + n - 4, 4);
      head = low | static_cast<uint64_t>(high) << (8 * (n - 4));
    } else {
      for (size_t i = 0; i < n; ++i) head |= static_cast<uint64_t>(p[i]) << (8 * i);
    }
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__);
    return {{head << 8 | n, tail}};
  }
  bool empty() const { return words[0] == 0; }
  bool operator==(const short_text &other) const {
    return ((words[0] ^ other.words[0]) | (words[1] ^ other.words[1])) == 0;
  }
  uint32_t hash() const {
    // Every byte reaches every bit of the result (the finalizer of MurmurHash3).
    uint64_t mixed = words[0] ^ (words[1] * 0x9e3779b97f4a7c15u);
    mixed = (mixed ^ (mixed >> 33)) * 0xff51afd7ed558ccdu;
    mixed = (mixed ^ (mixed >> 33)) * 0xc4ceb9fe1a85ec53u;
    return static_cast<uint32_t>(mixed ^ (mixed >> 33));
  }
};

class env_cache {
 public:
  // The environment's cache, made on its first use. Null when it cannot be
  // made (never expected): no answer can be built then.
  static env_cache *of(napi_env env);

  // Each is null when the engine cannot hand it out (never expected).
  napi_value builder(record_kind kind) const { return value(builders_[kind]); }
  napi_value run_builder(record_kind kind) const { return value(run_builders_[kind]); }
  napi_value list_builder() const { return value(list_builder_); }
  napi_value answer_builder() const { return value(answer_builder_); }
  napi_value fixed(fixed_text t) const { return element(fixed_texts_, t); }
  // The prototypes of the environment's arrays and objects as the engine
  // made them, which a program cannot replace (answer_kit::plain_stores).
  napi_value array_prototype() const { return value(array_prototype_); }
  napi_value object_prototype() const { return value(object_prototype_); }

  // Short texts, one string each for every answer of the environment, as
  // JSON.parse makes one string of each short text: the counters' "0", the
  // states and connection types, names and addresses that recur in a list
  // and in the next one. `make` makes the string (a napi_value; null:
  // nothing made, and `make` logged why) when the table does not hold it;
  // one it holds is handed out as its slot. Only texts shares() accepts:
  // the empty text (the engine has one) and longer ones are made anew.
  static constexpr size_t shared_text_limit = sizeof(short_text) - 1;  // an IPv4 address
  static bool shares(std::string_view text) { return !text.empty() && text.size() <= shared_text_limit; }
  template <class Make>
  made_text shared_text(const short_text &text, Make &&make) {
    uint32_t slot;
    if (find_next(text, &slot)) return made_text::held(env_, slot);
    return indexed_or_kept(text, make);
  }
  // True when `text` is held right where a list asked for again would use
  // it next (the first step of shared_text, which a caller may take on its
  // own), at `*slot`.
  bool find_next(const short_text &text, uint32_t *slot);
  // shared_text after its first step: the text found through the index, or
  // made and kept.
  template <class Make>
  made_text indexed_or_kept(const short_text &text, Make &&make) {
    uint32_t slot = no_slot;
    if (find_indexed(text, &slot)) return made_text::held(env_, slot);
    napi_value made = make();
    if (made != nullptr && slot != no_slot) keep_shared(slot, text, made);
    return made;
  }
  // A short text this answer made or found before, as it was handed out, or
  // null; remember() records one. Direct-mapped, so a text recurring within
  // an answer (a state, a user, an address) is found without the index,
  // and a long answer of distinct texts costs no more than the lookup.
  bool recent(const short_text &text, made_text *made) const;
  void remember(const short_text &text, const made_text &made);
  // The numbers a builder call passes beside its arguments (builders.h,
  // record_shapes.h): number_slots of them, written here and read by the
  // builders from a Uint32Array over the same memory.
  static constexpr uint32_t number_slots = 32 * (2 + record_max_keys);
  uint32_t *numbers() const { return numbers_; }
  // The string held at `slot`; null when it cannot be read (never expected).
  napi_value held_string(uint32_t slot) const { return element(shared_strings_, slot); }

  // A new answer begins (texts it uses are kept over older ones).
  void next_answer();

  ~env_cache();

 private:
  explicit env_cache(napi_env env) : env_(env) {}
  bool fill();
  napi_value value(napi_ref ref) const;
  napi_value element(napi_ref array, uint32_t index) const;

  napi_env env_;
  // References hold objects only: the fixed texts are held as elements of
  // an array, the builders (functions) one by one, the shared texts as
  // elements of an object without a prototype (so no index on a prototype
  // can take a store or a read of them).
  napi_ref list_builder_ = nullptr, fixed_texts_ = nullptr, answer_builder_ = nullptr, shared_strings_ = nullptr;
  napi_ref array_prototype_ = nullptr, object_prototype_ = nullptr;
  uint32_t *numbers_ = nullptr;  // the backing store of the builders' Uint32Array, which it outlives none of
  std::array<napi_ref, record_kind_count> builders_{};
  std::array<napi_ref, record_kind_count> run_builders_{};

  // The shared texts. The bound: at most shared_slots strings, each at most
  // 48 bytes of heap (a header of 16 and 15 characters, two bytes each at
  // worst; 32 for most), so at most 12 MiB of heap and 2 MiB of the object
  // holding them, and here 4 MiB of texts, 256 KiB of uses and 1 MiB of
  // index (pages never touched take none); sized for the largest list,
  // 65,535 connections of about four short texts each.
  //
  // Entries are kept in the order their texts were first made, in a ring,
  // the strings at the same indexes of the holding object; an index by hash
  // finds any of them. A list asked for again meets its texts in that
  // order, so the next text is looked for first right after the last one
  // found (or the last one the index found), reading memory in order where
  // the index costs two reads anywhere. A new text goes to the next entry
  // of the ring that neither this answer nor the one before used (looking a
  // few entries on), so a slot handed out stays the same string until the
  // answer is made; with none, the text is made anew and not kept, so a
  // list with more short texts than the table holds keeps the ones it has
  // instead of thrashing them all.
  static constexpr uint32_t slot_bits = 18;
  static constexpr uint32_t shared_slots = 1u << slot_bits;
  static constexpr uint32_t slot_mask = shared_slots - 1;
  static constexpr uint32_t index_ways = 8;
  static constexpr uint32_t index_sets = shared_slots / index_ways;
  static constexpr uint32_t ring_steps = 8;
  static constexpr uint32_t no_slot = UINT32_MAX;
  // The texts of the ring (empty: an empty entry), and beside them the last
  // answer that used each, modulo 256: one last used 256 answers ago looks
  // just used, which only keeps it a little longer.
  malloc_ptr<short_text[]> ring_;
  malloc_ptr<uint8_t[]> used_;
  // A way of the index: 0 when empty, else the entry's slot, above it a
  // fingerprint of its text's hash (never 0).
  malloc_ptr<uint32_t[]> index_;
  static constexpr size_t recent_slots = 4096;
  struct recent_text {
    short_text text;
    napi_value value;  // the string, unless it is held
    uint32_t slot;     // a held string's slot, or no_slot
    uint32_t answer;   // the low half of answer_number_: valid in that answer only (its handles die with it)
  };
  static_assert(sizeof(recent_text) == 32);
  std::unique_ptr<recent_text[]> recent_;
  uint64_t answer_number_ = 0;  // never wraps: a remembered handle never outlives its answer
  uint32_t next_free_ = 0;           // where the ring looks for room first
  uint32_t last_found_ = no_slot;    // the entry found last
  uint32_t last_indexed_ = no_slot;  // the entry found last through the index
  // True when the index finds `text`, at `*slot`; else `*slot` is where it
  // may be kept, or no_slot.
  bool find_indexed(const short_text &text, uint32_t *slot);
  void keep_shared(uint32_t slot, const short_text &text, napi_value value);
  void unindex(uint32_t slot);
  bool replaceable(uint32_t slot) const {
    return ring_[slot].empty() || static_cast<uint8_t>(answer_number_ - used_[slot]) >= 2;
  }
};

// One value of a record: a value made by a value maker (or the slot of a
// shared string), a fixed text by its index, or a text set by its bits; a
// record leaves a key out when none is given.
struct field {
  enum kind_t : uint8_t { absent, made, fixed_text_index, text_set_bits, held_string, uint32_value };
  napi_value value = nullptr;  // made: the value
  uint32_t number = 0;         // fixed: the text's index; set: the bits; held: the slot; uint32: the value
  kind_t kind = absent;
  // A number of the library's answer, as make_uint32 would make it.
  static field uint32(uint32_t n) { return {nullptr, n, uint32_value}; }
  static field of(napi_value made_value) { return made_value ? field{made_value, 0, made} : field{}; }
  static field of(const made_text &text) {
    return text.is_held() ? field{nullptr, text.slot(), held_string} : of(text.value());
  }
  static field fixed(fixed_text t) { return {nullptr, t, fixed_text_index}; }
  static field set(uint32_t bits) { return {nullptr, bits, text_set_bits}; }
  static field none() { return {}; }
  bool present() const { return kind != absent; }
};
static_assert(sizeof(field) == 16);

// What a converter needs to make records: the environment's cache, with its
// builders taken out of their references on first use and kept for the rest
// of the callback (their handles live as long as its scope).
class answer_kit {
 public:
  explicit answer_kit(napi_env env) : env_(env), cache_(env_cache::of(env)) {
    if (cache_ != nullptr) cache_->next_answer();
  }
  env_cache *cache() const { return cache_; }
  napi_value builder(record_kind kind) const;
  napi_value run_builder(record_kind kind) const;
  napi_value list_builder() const;
  napi_value undefined() const;
  // A number a builder takes (a fixed text's index, a text set's bits, an
  // index), the small ones made once per callback: a record passes several.
  // A number of the library's answer goes beside the arguments instead
  // (field::uint32, numbers()).
  napi_value number(uint32_t n) const;
  // The memory of the numbers a builder call passes (env_cache::numbers).
  uint32_t *numbers() const { return cache_ ? cache_->numbers() : nullptr; }
  // A fixed text as a value of its own (an array element): the environment's
  // one string, or one made now (make_array_string logs a failure: null).
  napi_value fixed(fixed_text t) const;

  // A text of the library's answer, made as make_string_utf8 makes it (a
  // short one shared with every answer of the environment), looked for in
  // the order a list asked for again meets it, then among the texts this
  // answer met before (volume names, states recur), then in the index.
  made_text answer_text(const char *key, std::string_view text) const;

  // Adds `value` to the answer to come under a key of the tables (nothing
  // when it is null: its maker logged why). The key waits: make_answer puts
  // every held key on the answer in one call, in order.
  template <class Key>
  napi_status set(Key key, napi_value value) const {
    if (value == nullptr) return napi_invalid_arg;
    return hold(key_index(key), value) ? napi_ok : napi_generic_failure;
  }

  // The whole answer in one call: status, operation, `error` (none when
  // null) and the keys held for it. Null when it cannot be made.
  napi_value make_answer(fixed_text status, fixed_text operation, napi_value error) const;

  // The most keys a converter adds: the four outcome keys of a batch.
  static constexpr uint32_t held_limit = 8;

  // Whether a store of an element below index `end` into a new array of
  // this callback makes an own data property of it: nothing on the arrays'
  // prototype chain holds such an index (a setter or a read-only element
  // there would take the store), and the chain is the engine's own
  // (Array.prototype, then Object.prototype). What was found holds until the
  // callback returns, since the builders run no code of the caller's. When
  // it is false, elements are defined through Node-API instead
  // (define_elements).
  bool plain_stores(uint32_t end) const;

 private:
  napi_env env_;
  env_cache *cache_;
  mutable napi_value builders_[record_kind_count] = {};
  mutable napi_value run_builders_[record_kind_count] = {};
  mutable napi_value list_builder_ = nullptr;
  mutable napi_value undefined_ = nullptr;
  static constexpr uint32_t small_numbers = 256;
  mutable napi_value small_numbers_[small_numbers] = {};

  mutable napi_value fixed_[fixed_text_count] = {};

  static constexpr uint32_t key_index(comn_key k) { return k; }
  static constexpr uint32_t key_index(cifs_key k) { return comn_key_count + k; }
  bool hold(uint32_t key_index, napi_value value) const;
  // Stores below plain_below_ were found plain; the chain was looked at
  // once (chain_checked_), and found foreign or holding an index that an
  // answer reaches (not_plain_).
  bool find_plain_stores(uint32_t end) const;
  mutable uint32_t plain_below_ = 0;
  mutable bool chain_checked_ = false, not_plain_ = false;
  mutable napi_value object_prototype_ = nullptr;  // once the chain was found the engine's
  mutable napi_value held_[2 * held_limit] = {};
  mutable uint32_t held_count_ = 0;

};

// Defines `values` (null: left unset) as own data properties of `array` at
// `first` and on, without running any code of the caller's; the way
// elements are stored when plain stores could reach a prototype.
napi_status define_elements(napi_env env, napi_value array, uint32_t first, const napi_value *values, size_t count);

// One record made by build_record; `stored` when it already sits in the
// target array.
struct built_record {
  napi_value object;
  bool stored;
};

// The builder call behind build_record, for `kind`'s fields.
built_record build_record_of(napi_env env, const answer_kit &kit, record_kind kind, const field *fields,
                             napi_value target, uint32_t index);

// Makes one record of kind K from `fields`, one per key of its shape (a
// field array of another length does not compile): one call of the compiled
// builder, which leaves out every key without a value and also stores the
// record at `index` of `target` when a target is given. A null object when
// it cannot be made; a pending exception is then cleared, and the caller
// logs its own line.
template <record_kind K>
built_record build_record(napi_env env, const answer_kit &kit, std::span<const field, shape<K>::size> fields,
                          napi_value target = nullptr, uint32_t index = 0) {
  return build_record_of(env, kit, K, fields.data(), target, index);
}

// How a listing logs an element it could not make (and store, which its
// builder does in the same call): "<object>", or "<object>, error: <status>"
// when `object_with_status`.
struct element_texts {
  const char *object;
  bool object_with_status;
};

// The records of one listing, made in runs: each run of consecutive records
// is one builder call, which stores them in `array` too. A run the builder
// cannot make is made again one record at a time, each failure logged as a
// single record's and its index left empty. The caller calls finish() after
// the last record.
class record_run_base {
 public:
  record_run_base(napi_env env, const answer_kit &kit, record_kind kind, napi_value array, const char *converter,
                  const element_texts &texts);
  record_run_base(const record_run_base &) = delete;
  record_run_base &operator=(const record_run_base &) = delete;

  // Makes the records still held; false when a record could not be made or stored.
  bool finish() { return flush(); }

 protected:
  // Takes record `index` (its fields are copied). False when a record could
  // not be made (logged): a listing that drops its page on a failure stops
  // there, a list that leaves a failed record's index empty goes on.
  bool add_fields(const field *fields, uint32_t index);

 private:
  static constexpr uint32_t run_length = 32;
  static_assert(run_length * (2 + record_max_keys) <= env_cache::number_slots);
  bool flush();
  bool build_each(uint32_t count);
  bool build_one(const field *fields, uint32_t index);

  napi_env env_;
  const answer_kit &kit_;
  record_kind kind_;
  size_t width_;
  napi_value array_;
  const char *converter_;
  const element_texts &texts_;
  uint32_t first_ = 0;
  uint32_t held_ = 0;
  field fields_[run_length * record_max_keys];
};

template <record_kind K>
class record_run : public record_run_base {
 public:
  record_run(napi_env env, const answer_kit &kit, napi_value array, const char *converter, const element_texts &texts)
      : record_run_base(env, kit, K, array, converter, texts) {}
  bool add(std::span<const field, shape<K>::size> fields, uint32_t index) { return add_fields(fields.data(), index); }
};

// Stores `texts` (made by make_array_string; null: left unset) at `first`
// and on of `array`, in as few calls as it can, each an own data property
// of it; a shared string is read by the builder where it is held. Returns
// the status of a store that failed, after which nothing more is stored.
napi_status store_elements(napi_env env, const answer_kit &kit, napi_value array, uint32_t first,
                           const made_text *texts, size_t count);

}  // namespace cifs
