// JS binding of the one-shot raw results of the list calls: hand-made bytes
// for the out-parameters, a status, and a shared memory object.
#include <optional>
#include <string>
#include <vector>

#include "bindings.h"
#include "cifssim_control.h"
#include "mgmt_library.h"
#include "napi_check.h"

namespace simctl {
namespace {

// The library's connection record, for the default count of a raw list.
constexpr size_t connection_record_size = 418;
constexpr int64_t safe_integer_max = (int64_t{1} << 53) - 1;

// One slot of a raw share list: null, a Buffer (a record in the block, which
// may be empty), {outside: Buffer} (a record kept outside the block) or
// {end: true} (the block's end). The bytes stay in `record`.
bool read_slot(napi_env env, napi_value item, cifssim_slot &slot, std::vector<uint8_t> &record) {
  slot = {CIFSSIM_SLOT_NULL, nullptr, 0};
  if (is_nullish(env, item)) return true;
  bool is_buffer = false;
  if (failed(env, napi_is_buffer(env, item, &is_buffer), "napi_is_buffer")) return false;
  napi_value source = item;
  slot.kind = CIFSSIM_SLOT_RECORD;
  if (!is_buffer) {
    const std::optional<napi_value> outside = property(env, item, "outside");
    if (pending(env)) return false;
    const std::optional<napi_value> end = property(env, item, "end");
    if (pending(env)) return false;
    if (end && !outside) {
      auto flag = to_bool(env, *end, "end");
      if (!flag) return false;
      if (*flag) {
        slot.kind = CIFSSIM_SLOT_END;
        return true;
      }
    }
    if (!outside || end) {
      throw_type_error(env, "record must be a Buffer, null, {outside: Buffer} or {end: true}");
      return false;
    }
    slot.kind = CIFSSIM_SLOT_OUTSIDE;
    source = *outside;
  }
  auto bytes = buffer_bytes(env, source, "record");
  if (!bytes) return false;
  record = std::move(*bytes);
  slot.bytes = record.data();  // may be null for an empty record: its kind says what it is
  slot.length = record.size();
  return true;
}

// Everything one out-parameter needs, owned here until the library copied it.
struct out_source {
  cifssim_out out{CIFSSIM_OUT_NULL, nullptr, 0, nullptr, 0, 0, 0};
  std::vector<uint8_t> bytes;
  std::vector<cifssim_slot> slots;
  std::vector<std::vector<uint8_t>> records;
};

// A text of `names` as its index; false with a TypeError pending otherwise.
template <size_t N>
bool read_choice(napi_env env, napi_value object, const char *key, const char *const (&names)[N], int32_t &out) {
  const auto value = property(env, object, key);
  if (!value) return !pending(env);
  const auto text = to_string(env, *value, key);
  if (!text) return false;
  for (size_t i = 0; i < N; ++i)
    if (*text == names[i]) {
      out = static_cast<int32_t>(i);
      return true;
    }
  throw_type_error(env, std::string(key) + ": unknown value '" + *text + "'");
  return false;
}

// {count, records: Buffer, place: 'apart'|'inside'|'null'}: count defaults to
// the whole records in `records`, place to 'apart'.
bool read_connection_list(napi_env env, napi_value list, out_source &source) {
  static constexpr const char *places[] = {"apart", "inside", "null"};  // cifssim_records_place order
  const auto records = property(env, list, "records");
  if (!records) {
    if (!pending(env)) throw_type_error(env, "connectionList.records must be a Buffer");
    return false;
  }
  auto bytes = buffer_bytes(env, *records, "connectionList.records");
  if (!bytes) return false;
  source.bytes = std::move(*bytes);
  int64_t count = static_cast<int64_t>(source.bytes.size() / connection_record_size);
  int32_t place = CIFSSIM_RECORDS_APART;
  if (!read_integer(env, list, "count", 0, uint32_max, count) || !read_choice(env, list, "place", places, place))
    return false;
  source.out = {CIFSSIM_OUT_CONNECTION_LIST, source.bytes.data(), source.bytes.size(), nullptr, 0,
                static_cast<uint32_t>(count), place};
  return true;
}

// null (a null pointer), a Buffer (its bytes), {slots: [...], count} (a share
// list block; count defaults to the number of slots) or {connectionList}.
bool read_out(napi_env env, napi_value item, out_source &source) {
  if (is_nullish(env, item)) return true;
  bool is_buffer = false;
  if (failed(env, napi_is_buffer(env, item, &is_buffer), "napi_is_buffer")) return false;
  if (is_buffer) {
    auto bytes = buffer_bytes(env, item, "out");
    if (!bytes) return false;
    source.bytes = std::move(*bytes);
    source.out = {CIFSSIM_OUT_BYTES, source.bytes.data(), source.bytes.size(), nullptr, 0, 0, 0};
    return true;
  }
  const auto list = property(env, item, "connectionList");
  if (list) return read_connection_list(env, *list, source);
  if (pending(env)) return false;
  const auto slots_value = property(env, item, "slots");
  if (!slots_value) {
    if (!pending(env)) throw_type_error(env, "out must be a Buffer, null, {slots: [...], count} or {connectionList}");
    return false;
  }
  auto items = elements(env, *slots_value, "slots");
  if (!items) return false;
  source.slots.resize(items->size());
  source.records.resize(items->size());
  for (size_t i = 0; i < items->size(); ++i)
    if (!read_slot(env, (*items)[i], source.slots[i], source.records[i])) return false;
  int64_t count = static_cast<int64_t>(items->size());
  if (!read_integer(env, item, "count", 0, uint32_max, count)) return false;
  source.out = {CIFSSIM_OUT_SLOTS, nullptr, 0, source.slots.data(), source.slots.size(), static_cast<uint32_t>(count), 0};
  return true;
}

// {name, bytes, kind: 'object'|'fifo'|'directory', size}; bytes default to
// none, kind to 'object', size to the bytes' length.
bool read_shm(napi_env env, napi_value object, std::string &name, std::vector<uint8_t> &bytes, cifssim_shm &shm) {
  static constexpr const char *kinds[] = {"object", "fifo", "directory"};  // cifssim_shm_kind order
  shm = {nullptr, nullptr, 0, CIFSSIM_SHM_OBJECT, -1};
  if (!read_text(env, object, "name", name, nullptr) || !read_choice(env, object, "kind", kinds, shm.kind) ||
      !read_integer(env, object, "size", 0, safe_integer_max, shm.size))
    return false;
  const auto given = property(env, object, "bytes");
  if (given && !is_nullish(env, *given)) {
    auto b = buffer_bytes(env, *given, "shm.bytes");
    if (!b) return false;
    bytes = std::move(*b);
  } else if (pending(env)) {
    return false;
  }
  shm.name = name.c_str();
  shm.bytes = bytes.data();
  shm.length = bytes.size();
  return true;
}

// mgmtRawResult(call, status, [out, ...], shm | null)
napi_value raw_result(napi_env env, napi_callback_info info) {
  napi_value argv[4];
  if (!arguments(env, info, argv)) return nullptr;
  const auto call = to_string(env, argv[0], "call");
  if (!call) return nullptr;
  const auto status = to_integer(env, argv[1], "status", int32_min, int32_max);
  if (!status) return nullptr;
  const auto items = elements(env, argv[2], "out");
  if (!items) return nullptr;
  std::vector<out_source> sources(items->size());
  for (size_t i = 0; i < items->size(); ++i)
    if (!read_out(env, (*items)[i], sources[i])) return nullptr;
  std::string shm_name;
  std::vector<uint8_t> shm_bytes;
  cifssim_shm shm{};
  const bool has_shm = !is_nullish(env, argv[3]);
  if (has_shm && !read_shm(env, argv[3], shm_name, shm_bytes, shm)) return nullptr;

  static cifssim_raw_result_fn control = nullptr;
  if (!control && !bind_control(env, "cifssim_raw_result", control)) return nullptr;
  std::vector<cifssim_out> outs;
  for (const auto &s : sources) outs.push_back(s.out);
  return answer(env,
                control(call->c_str(), static_cast<int32_t>(*status), outs.data(), outs.size(), has_shm ? &shm : nullptr),
                "cifssim_raw_result");
}

}  // namespace

const std::vector<binding> raw_result_bindings = {{"mgmtRawResult", raw_result}};

}  // namespace simctl
