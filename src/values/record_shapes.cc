#include "values/record_shapes.h"

#include <array>

#include "values/answer_texts.h"
#include "values/keys.h"

namespace cifs {

namespace {

constexpr record_key value(const char *name) { return {name, false, false}; }
constexpr record_key optional_value(const char *name) { return {name, true, false}; }
constexpr record_key text(const char *name) { return {name, false, true}; }
constexpr record_key optional_text(const char *name) { return {name, true, true}; }
constexpr record_key text_set(const char *name, fixed_text base) { return {name, false, false, base}; }

constexpr record_key success_envelope[] = {text(comn_keys[k_status]), text(comn_keys[k_operation])};
constexpr record_key failure_envelope[] = {text(comn_keys[k_status]), text(comn_keys[k_operation]),
                                           optional_value(comn_keys[k_error])};
constexpr record_key error_object[] = {value(comn_keys[k_error_code]), value(comn_keys[k_description]),
                                       optional_value(comn_keys[k_error_id]), optional_value(comn_keys[k_args])};
constexpr record_key share_full[] = {
    value(comn_keys[k_name]),           text(comn_keys[k_type]),
    value(cifs_keys[ck_comment]),       value(comn_keys[k_volume_name]),
    value(cifs_keys[ck_relative_path]), optional_text(comn_keys[k_name_space]),
    value(cifs_keys[ck_absolute_path]), text(cifs_keys[ck_encryption]),
    text(cifs_keys[ck_folder_redirection]), text(cifs_keys[ck_atm_backup]),
};
constexpr record_key share_mapped[] = {
    value(comn_keys[k_name]),         value(cifs_keys[ck_absolute_path]),
    text(cifs_keys[ck_encryption]),   text(cifs_keys[ck_folder_redirection]),
    text(cifs_keys[ck_atm_backup]),   value(comn_keys[k_open_files_count]),
};
constexpr record_key outcome_successful[] = {value(comn_keys[k_name])};
constexpr record_key outcome_failed[] = {value(comn_keys[k_error_code]), value(comn_keys[k_name])};

constexpr record_key open_files[] = {value(comn_keys[k_count]), value(comn_keys[k_cookie]),
                                     value(comn_keys[k_files])};
constexpr record_key open_file[] = {
    value(cifs_keys[ck_session_id]),   value(cifs_keys[ck_id]),
    value(comn_keys[k_name]),          value(cifs_keys[ck_full_path]),
    value(comn_keys[k_user_name]),     value(cifs_keys[ck_client_ip_address]),
    text_set(cifs_keys[ck_access_modes], t_access_rd), text(cifs_keys[ck_lock_level]),
    value(comn_keys[k_type]),
};

// The keys of `first`, then those of `second`.
template <size_t N, size_t M>
constexpr std::array<record_key, N + M> joined(const record_key (&first)[N], const record_key (&second)[M]) {
  std::array<record_key, N + M> keys{};
  for (size_t i = 0; i < N; ++i) keys[i] = first[i];
  for (size_t i = 0; i < M; ++i) keys[N + i] = second[i];
  return keys;
}

// A connection's texts are left out when the library left them empty; the
// details form adds the security equivalences.
constexpr record_key connection[] = {
    value(comn_keys[k_connection_number]),      optional_value(cifs_keys[ck_connection_type]),
    optional_value(comn_keys[k_user_name]),     optional_value(cifs_keys[ck_status]),
    optional_value(cifs_keys[ck_privileges]),   value(cifs_keys[ck_total_requests]),
    value(cifs_keys[ck_total_bytes_read]),      value(cifs_keys[ck_total_bytes_written]),
    value(cifs_keys[ck_login_time]),            value(cifs_keys[ck_is_encrypted]),
    value(cifs_keys[ck_channels]),              value(cifs_keys[ck_mapped_shares_count]),
    value(comn_keys[k_open_files]),             optional_value(cifs_keys[ck_ip_address]),
};
constexpr record_key security_equivalence[] = {optional_value(cifs_keys[ck_security_equivalence])};
constexpr auto connection_details = joined(connection, security_equivalence);
// The connection, its user and address come once, from the first file.
constexpr record_key connection_open_files[] = {
    optional_value(comn_keys[k_connection_number]), optional_value(comn_keys[k_user_name]),
    optional_value(cifs_keys[ck_client_ip_address]), value(comn_keys[k_count]),
    value(comn_keys[k_cookie]),                      value(comn_keys[k_files]),
};
constexpr record_key connection_open_file[] = {
    value(cifs_keys[ck_id]),          value(comn_keys[k_name]),
    value(comn_keys[k_share_name]),   value(cifs_keys[ck_full_path]),
    text_set(cifs_keys[ck_access_modes], t_access_rd), text(cifs_keys[ck_lock_level]),
    value(comn_keys[k_type]),
};
constexpr record_key invalid_users[] = {value(comn_keys[k_count]), value(comn_keys[k_cookie]),
                                        value(cifs_keys[ck_users])};
constexpr record_key invalid_user[] = {value(comn_keys[k_name]), text(comn_keys[k_type]),
                                       value(cifs_keys[ck_client_ip_address]),
                                       value(cifs_keys[ck_last_auth_attempt_time])};

constexpr std::span<const record_key> shapes[record_kind_count] = {
    success_envelope,   failure_envelope,      error_object,          share_full,
    share_mapped,       outcome_successful,    outcome_failed,        open_files,
    open_file,          connection,            connection_details,    connection_open_files,
    connection_open_file, invalid_users,       invalid_user,
};


constexpr bool shapes_fit() {
  for (std::span<const record_key> shape : shapes)
    if (shape.size() > record_max_keys) return false;
  return true;
}
static_assert(shapes_fit(), "a builder call passes at most record_max_keys values");

// Appends to `out` one piece after another (string concatenation with
// temporaries trips a false -Wrestrict in GCC 12).
template <class... Pieces>
void append(std::string &out, const Pieces &...pieces) {
  (out.append(pieces), ...);
}

std::string argument(size_t index) { return std::string("a").append(std::to_string(index)); }

// The value of key `index` in the builder: its argument, or the fixed text it names.
std::string expression(const record_key &key, size_t index) {
  if (key.set_base >= 0) return std::string("S(").append(argument(index)).append(",").append(std::to_string(key.set_base)).append(")");
  return key.fixed ? std::string("T[").append(argument(index)).append("]") : argument(index);
}

// The literal of every key but `leave_out` (an index past the keys: none).
void append_literal(std::string &out, std::span<const record_key> keys, size_t leave_out) {
  out.push_back('{');
  bool first = true;
  for (size_t i = 0; i < keys.size(); ++i) {
    if (i == leave_out) continue;
    if (!first) out.push_back(',');
    // Keys are plain camel-case words: quoting is all they need.
    append(out, "\"", keys[i].name, "\":", expression(keys[i], i));
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
  out.append("){var o;");
  size_t optional_count = 0, first_optional = keys.size();
  for (size_t i = 0; i < keys.size(); ++i)
    if (keys[i].optional && optional_count++ == 0) first_optional = i;

  if (optional_count == 0) {
    out.append("o=");
    append_literal(out, keys, keys.size());
    out.push_back(';');
  } else if (optional_count == 1) {
    // Two literals, each with a fixed shape: the fastest way the engine knows.
    append(out, "o=", argument(first_optional), "===undefined?");
    append_literal(out, keys, first_optional);
    out.push_back(':');
    append_literal(out, keys, keys.size());
    out.push_back(';');
  } else {
    // The whole literal when every optional key is there (the common case),
    // else a literal up to the first optional key and the rest in order.
    out.append("if(");
    for (size_t i = first_optional, n = 0; i < keys.size(); ++i)
      if (keys[i].optional) append(out, n++ ? "&&" : "", argument(i), "!==undefined");
    out.append(")o=");
    append_literal(out, keys, keys.size());
    out.append(";else{o=");
    append_literal(out, keys.first(first_optional), first_optional);
    out.push_back(';');
    for (size_t i = first_optional; i < keys.size(); ++i) {
      if (keys[i].optional) append(out, "if(", argument(i), "!==undefined)");
      append(out, "o[\"", keys[i].name, "\"]=", expression(keys[i], i), ";");
    }
    out.push_back('}');
  }
  out.append("if(t!==undefined)t[i]=o;return o;})");
  return out;
}

std::string record_run_builder_source(std::span<const record_key> keys) {
  // The record builder is called from JavaScript, where the engine inlines
  // it: a run of records costs one crossing from native code instead of one each.
  std::string out = "(function(t,i,n,...v){var f=";
  append(out, record_builder_source(keys), ";for(var j=0,b=0;j<n;j++,b+=", std::to_string(keys.size()), ")f(t,i+j");
  for (size_t k = 0; k < keys.size(); ++k) append(out, ",v[b+", std::to_string(k), "]");
  out.append(");return t;})");
  return out;
}

std::string text_set_source() {
  // Each set is made once per environment, and every record gets its own
  // copy, which is exactly as long as its texts, as a parsed array is.
  return "var SC=new Map();"
         "function S(m,b){var k=b*4294967296+m,a=SC.get(k);"
         "if(a===undefined){a=[];for(var i=0,n=m;n!==0;i++,n>>>=1)if(n&1)a.push(T[b+i]);SC.set(k,a);}"
         "return a.slice();}";
}

std::string answer_builder_source() {
  return "(function(s,o,e,...kv){var r=e===undefined?{\"status\":T[s],\"operation\":T[o]}:"
         "{\"status\":T[s],\"operation\":T[o],\"error\":e};"
         "for(var i=0;i<kv.length;i+=2)r[K[kv[i]]]=kv[i+1];return r;})";
}

std::string key_setter_source() {
  return "(function(r,...kv){for(var i=0;i<kv.length;i+=2)r[K[kv[i]]]=kv[i+1];})";
}

std::string list_builder_source() {
  return "(function(t,i,...v){if(t===undefined)return v;for(var k=0;k<v.length;k++)t[i+k]=v[k];return t;})";
}

}  // namespace cifs
