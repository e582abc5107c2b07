#include "values/record_shapes.h"

#include "values/keys.h"

namespace cifs {

namespace {

constexpr record_key success_envelope[] = {{comn_keys[k_status], false}, {comn_keys[k_operation], false}};
constexpr record_key failure_envelope[] = {
    {comn_keys[k_status], false}, {comn_keys[k_operation], false}, {comn_keys[k_error], true}};
constexpr record_key error_object[] = {{comn_keys[k_error_code], false},
                                       {comn_keys[k_description], false},
                                       {comn_keys[k_error_id], true},
                                       {comn_keys[k_args], true}};
constexpr record_key share_full[] = {
    {comn_keys[k_name], false},          {comn_keys[k_type], false},
    {cifs_keys[ck_comment], false},      {comn_keys[k_volume_name], false},
    {cifs_keys[ck_relative_path], false}, {comn_keys[k_name_space], true},
    {cifs_keys[ck_absolute_path], false}, {cifs_keys[ck_encryption], false},
    {cifs_keys[ck_folder_redirection], false}, {cifs_keys[ck_atm_backup], false},
};
constexpr record_key share_mapped[] = {
    {comn_keys[k_name], false},           {cifs_keys[ck_absolute_path], false},
    {cifs_keys[ck_encryption], false},    {cifs_keys[ck_folder_redirection], false},
    {cifs_keys[ck_atm_backup], false},    {comn_keys[k_open_files_count], false},
};
constexpr record_key outcome_successful[] = {{comn_keys[k_name], false}};
constexpr record_key outcome_failed[] = {{comn_keys[k_error_code], false}, {comn_keys[k_name], false}};

constexpr std::span<const record_key> shapes[record_kind_count] = {
    success_envelope, failure_envelope, error_object, share_full, share_mapped, outcome_successful, outcome_failed,
};

// Appends to `out` one piece after another (string concatenation with
// temporaries trips a false -Wrestrict in GCC 12).
template <class... Pieces>
void append(std::string &out, const Pieces &...pieces) {
  (out.append(pieces), ...);
}

std::string argument(size_t index) { return std::string("a").append(std::to_string(index)); }

// The literal of every key but `leave_out` (an index past the keys: none).
void append_literal(std::string &out, std::span<const record_key> keys, size_t leave_out) {
  out.push_back('{');
  bool first = true;
  for (size_t i = 0; i < keys.size(); ++i) {
    if (i == leave_out) continue;
    if (!first) out.push_back(',');
    // Keys are plain camel-case words: quoting is all they need.
    append(out, "\"", keys[i].name, "\":", argument(i));
    first = false;
  }
  out.push_back('}');
}

}  // namespace

std::span<const record_key> record_keys(record_kind kind) { return shapes[kind]; }

std::string record_builder_source(std::span<const record_key> keys) {
  // (t, i, a0, a1, ...): t and i, when t is given, name the array slot the
  // record goes into, saving a separate store through Node-API per record.
  std::string out = "(function(t,i";
  for (size_t i = 0; i < keys.size(); ++i) append(out, ",", argument(i));
  out.append("){var o=");
  size_t optional_count = 0, first_optional = keys.size();
  for (size_t i = 0; i < keys.size(); ++i)
    if (keys[i].optional && optional_count++ == 0) first_optional = i;

  if (optional_count == 0) {
    append_literal(out, keys, keys.size());
    out.push_back(';');
  } else if (optional_count == 1) {
    // Two literals, each with a fixed shape: the fastest way the engine knows.
    append(out, argument(first_optional), "===undefined?");
    append_literal(out, keys, first_optional);
    out.push_back(':');
    append_literal(out, keys, keys.size());
    out.push_back(';');
  } else {
    // A literal up to the first optional key, then the rest in order.
    append_literal(out, keys.first(first_optional), first_optional);
    out.push_back(';');
    for (size_t i = first_optional; i < keys.size(); ++i) {
      if (keys[i].optional) append(out, "if(", argument(i), "!==undefined)");
      append(out, "o[\"", keys[i].name, "\"]=", argument(i), ";");
    }
  }
  out.append("if(t!==undefined)t[i]=o;return o;})");
  return out;
}

}  // namespace cifs
