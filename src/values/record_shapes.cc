#include "values/record_shapes.h"

namespace cifs {

namespace {

// The shape table, indexed by kind: a row out of place does not compile.
constexpr std::span<const record_key> shapes[] = {
    shape<r_error_object>::keys,
    shape<r_share_full>::keys,
    shape<r_share_mapped>::keys,
    shape<r_outcome_successful>::keys,
    shape<r_outcome_failed>::keys,
    shape<r_open_files>::keys,
    shape<r_open_file>::keys,
    shape<r_connection>::keys,
    shape<r_connection_details>::keys,
    shape<r_connection_open_files>::keys,
    shape<r_connection_open_file>::keys,
    shape<r_invalid_users>::keys,
    shape<r_invalid_user>::keys,
};
static_assert(std::size(shapes) == record_kind_count);
#define CIFS_SHAPE_AT(kind) \
  static_assert(shapes[kind].data() == shape<kind>::keys && shape<kind>::size <= record_max_keys)
CIFS_SHAPE_AT(r_error_object);
CIFS_SHAPE_AT(r_share_full);
CIFS_SHAPE_AT(r_share_mapped);
CIFS_SHAPE_AT(r_outcome_successful);
CIFS_SHAPE_AT(r_outcome_failed);
CIFS_SHAPE_AT(r_open_files);
CIFS_SHAPE_AT(r_open_file);
CIFS_SHAPE_AT(r_connection);
CIFS_SHAPE_AT(r_connection_details);
CIFS_SHAPE_AT(r_connection_open_files);
CIFS_SHAPE_AT(r_connection_open_file);
CIFS_SHAPE_AT(r_invalid_users);
CIFS_SHAPE_AT(r_invalid_user);
#undef CIFS_SHAPE_AT

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
// Keys are plain words (checked at compile time): quoting is all they need.
void append_literal(std::string &out, std::span<const record_key> keys, size_t leave_out) {
  out.push_back('{');
  bool first = true;
  for (size_t i = 0; i < keys.size(); ++i) {
    if (i == leave_out) continue;
    if (!first) out.push_back(',');
    append(out, "\"", keys[i].name, "\":", expression(keys[i], i));
    first = false;
  }
  out.push_back('}');
}

// The record when every value key is there: one literal, or two when one key
// is usually left out, each with a fixed shape (the fastest way the engine
// knows), or the whole literal when every optional key is there and the rest
// key by key otherwise.
void append_usual_record(std::string &out, std::span<const record_key> keys) {
  size_t optional_count = 0, first_optional = keys.size();
  for (size_t i = 0; i < keys.size(); ++i)
    if (keys[i].optional && optional_count++ == 0) first_optional = i;
  if (optional_count == 0) {
    out.append("o=");
    append_literal(out, keys, keys.size());
    out.push_back(';');
  } else if (optional_count == 1) {
    append(out, "o=", argument(first_optional), "===undefined?");
    append_literal(out, keys, first_optional);
    out.push_back(':');
    append_literal(out, keys, keys.size());
    out.push_back(';');
  } else {
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
}

// A value key whose value could not be made is left out like an optional one.
bool may_fail(const record_key &key) { return !key.optional && !key.fixed && key.set_base < 0; }

}  // namespace

std::span<const record_key> record_keys(record_kind kind) { return shapes[kind]; }

std::string record_builder_source(std::span<const record_key> keys) {
  // (t, i, a0, a1, ...): t and i, when t is given, name the array slot the
  // record goes into, saving a separate store through Node-API per record.
  std::string out = "(function(t,i";
  for (size_t i = 0; i < keys.size(); ++i) append(out, ",", argument(i));
  out.append("){var o;");
  std::string every_value;
  for (size_t i = 0; i < keys.size(); ++i)
    if (may_fail(keys[i])) append(every_value, every_value.empty() ? "" : "&&", argument(i), "!==undefined");
  if (!every_value.empty()) append(out, "if(", every_value, "){");
  append_usual_record(out, keys);
  if (!every_value.empty()) {
    out.append("}else{o={};");
    for (size_t i = 0; i < keys.size(); ++i)
      append(out, "if(", argument(i), "!==undefined)o[\"", keys[i].name, "\"]=", expression(keys[i], i), ";");
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
  // copy, which is exactly as long as its texts, as a parsed array is. The
  // built-ins it needs are bound here, once: patching Map or Array later
  // does not reach answer building.
  return "var FC=Function.prototype.call,MG=FC.bind(Map.prototype.get),MS=FC.bind(Map.prototype.set),"
         "SL=FC.bind(Array.prototype.slice),SC=new Map();"
         "function S(m,b){var k=b*4294967296+m,a=MG(SC,k);"
         "if(a===undefined){a=[];for(var i=0,n=m;n!==0;i++,n>>>=1)if(n&1)a[a.length]=T[b+i];MS(SC,k,a);}"
         "return SL(a);}";
}

std::string answer_builder_source() {
  return "(function(s,o,e,...kv){var r=e===undefined?{\"status\":T[s],\"operation\":T[o]}:"
         "{\"status\":T[s],\"operation\":T[o],\"error\":e};"
         "for(var i=0;i<kv.length;i+=2)r[K[kv[i]]]=kv[i+1];return r;})";
}

std::string list_builder_source() {
  return "(function(t,i,...v){if(t===undefined)return v;for(var k=0;k<v.length;k++)t[i+k]=v[k];return t;})";
}

}  // namespace cifs
