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

// A text set makes one case per value of its bits.
constexpr bool small_sets() {
  for (std::span<const record_key> keys : shapes)
    for (const record_key &key : keys)
      if (key.set_base >= 0 && (key.set_size < 1 || key.set_size > 8 || key.set_base + key.set_size > fixed_text_count))
        return false;
  return true;
}
static_assert(small_sets(), "a text set has from 1 to 8 texts, all of them fixed texts");
static_assert(record_max_keys < 31, "a record's keys have their bits in a small integer");

// Appends to `out` one piece after another (string concatenation with
// temporaries trips a false -Wrestrict in GCC 12).
template <class... Pieces>
void append(std::string &out, const Pieces &...pieces) {
  (out.append(pieces), ...);
}

std::string argument(size_t index) { return std::string("a").append(std::to_string(index)); }

// The value of key `index` in the builder: its argument, the fixed text it
// names or the text set its bits make.
std::string expression(const record_key &key, size_t index) {
  if (key.set_base >= 0) return std::string("S").append(std::to_string(key.set_base)).append("(").append(argument(index)).append(")");
  return key.fixed ? std::string("T[").append(argument(index)).append("]") : argument(index);
}

// A key that can be left out: usually (optional) or when its value could not
// be made (a value key; fixed texts and text sets are always made).
bool may_be_absent(const record_key &key) { return key.optional || (!key.fixed && key.set_base < 0); }

enum class absent_keys { none, one, some };

// One object literal of `keys`: every key but `leave_out` (an index past the
// keys: none) when `absent` is none; with `absent` some, each key that may be
// absent (or, for one, each optional key) is there only when its argument is
// not undefined, through a spread of a literal of that key or of null (an
// object spread copies own properties into own data properties). Keys are
// plain words (checked at compile time): quoting is all they need.
void append_literal(std::string &out, std::span<const record_key> keys, size_t leave_out,
                    absent_keys absent = absent_keys::none) {
  out.push_back('{');
  bool first = true;
  for (size_t i = 0; i < keys.size(); ++i) {
    if (i == leave_out) continue;
    if (!first) out.push_back(',');
    first = false;
    const bool conditional = absent == absent_keys::some ? may_be_absent(keys[i])
                             : absent == absent_keys::one ? keys[i].optional
                                                          : false;
    if (conditional)
      append(out, "...(", argument(i), "===undefined?null:{\"", keys[i].name, "\":", expression(keys[i], i), "})");
    else
      append(out, "\"", keys[i].name, "\":", expression(keys[i], i));
  }
  out.push_back('}');
}

// A template of `keys` but `leave_out`, every value null.
void append_template(std::string &out, std::span<const record_key> keys, size_t leave_out) {
  out.push_back('{');
  bool first = true;
  for (size_t i = 0; i < keys.size(); ++i) {
    if (i == leave_out) continue;
    append(out, first ? "" : ",", "\"", keys[i].name, "\":null");
    first = false;
  }
  out.push_back('}');
}

// A copy of template `name` (its keys own data properties, in order), each
// key then given its value: a store to a property the object owns reaches
// no prototype. The engine copies a template without the allocation site a
// literal has, so records are made where JSON.parse makes its objects (a
// literal's site soon sends them to the old generation, whose fresh pages
// cost more than the records themselves).
void append_clone(std::string &out, std::span<const record_key> keys, size_t leave_out, const char *name) {
  append(out, "(o={...", name, "}");
  for (size_t i = 0; i < keys.size(); ++i)
    if (i != leave_out) append(out, ",o[\"", keys[i].name, "\"]=", expression(keys[i], i));
  out.append(",o)");
}

// The record when every value key is there: a copy of one template, or of
// one of two when one key is usually left out, each with a fixed shape, or
// of the whole template when every optional key is there and a literal with
// the optional keys spread in otherwise.
void append_usual_record(std::string &out, std::span<const record_key> keys) {
  size_t optional_count = 0, first_optional = keys.size();
  std::string every_optional;
  for (size_t i = 0; i < keys.size(); ++i)
    if (keys[i].optional) {
      if (optional_count++ == 0) first_optional = i;
      append(every_optional, every_optional.empty() ? "" : "&&", argument(i), "!==undefined");
    }
  out.append("o=");
  if (optional_count == 0) {
    append_clone(out, keys, keys.size(), "P");
  } else if (optional_count == 1) {
    append(out, argument(first_optional), "===undefined?");
    append_clone(out, keys, first_optional, "Q");
    out.push_back(':');
    append_clone(out, keys, keys.size(), "P");
  } else {
    append(out, "(", every_optional, ")?");
    append_clone(out, keys, keys.size(), "P");
    out.push_back(':');
    append_literal(out, keys, keys.size(), absent_keys::one);
  }
  out.push_back(';');
}

// A value key whose value could not be made is left out like an optional one.
bool may_fail(const record_key &key) { return !key.optional && !key.fixed && key.set_base < 0; }

}  // namespace

std::span<const record_key> record_keys(record_kind kind) { return shapes[kind]; }

std::string record_builder_source(std::span<const record_key> keys) {
  // (t, i, p, a0, a1, ...): t and i, when t is given, name the array slot
  // the record goes into, saving a separate store through Node-API per
  // record; bit k of N[p] marks key k as a shared string of H, its slot at
  // N[p + 2 + k], and bit k of N[p + 1] marks it as the number N[p + 2 + k].
  // The templates P (every key) and Q (every key but the first optional
  // one) are the builder's own.
  size_t first_optional = keys.size();
  for (size_t i = 0; i < keys.size() && first_optional == keys.size(); ++i)
    if (keys[i].optional) first_optional = i;
  std::string out = "(function(){var P=";
  append_template(out, keys, keys.size());
  out.append(",Q=");
  append_template(out, keys, first_optional);
  out.append(";return function(t,i,p");
  for (size_t i = 0; i < keys.size(); ++i) append(out, ",", argument(i));
  out.append("){var o,m=N[p],u=N[p+1];if(m!==0){");
  for (size_t i = 0; i < keys.size(); ++i)
    if (!keys[i].fixed && keys[i].set_base < 0)
      append(out, "if(m&", std::to_string(1u << i), ")", argument(i), "=H[N[p+", std::to_string(2 + i), "]];");
  out.append("}if(u!==0){");
  for (size_t i = 0; i < keys.size(); ++i)
    if (!keys[i].fixed && keys[i].set_base < 0)
      append(out, "if(u&", std::to_string(1u << i), ")", argument(i), "=N[p+", std::to_string(2 + i), "];");
  out.push_back('}');
  std::string every_value;
  for (size_t i = 0; i < keys.size(); ++i)
    if (may_fail(keys[i])) append(every_value, every_value.empty() ? "" : "&&", argument(i), "!==undefined");
  if (!every_value.empty()) append(out, "if(", every_value, "){");
  append_usual_record(out, keys);
  if (!every_value.empty()) {
    out.append("}else{o=");
    append_literal(out, keys, keys.size(), absent_keys::some);
    out.append(";}");
  }
  out.append("if(t!==undefined)t[i]=o;return o;};})()");
  return out;
}

std::string record_run_builder_source(std::span<const record_key> keys) {
  // The record builder is called from JavaScript, where the engine inlines
  // it: a run of records costs one crossing from native code instead of one
  // each. A rest parameter is made without the iterator protocol. Record j
  // has its arguments at v[j * keys] on and its numbers at N[p + j * (2 +
  // keys)] on.
  std::string out = "(function(t,i,n,p,...v){var f=";
  append(out, record_builder_source(keys), ";for(var j=0,b=0,q=p;j<n;j++,b+=", std::to_string(keys.size()),
         ",q+=", std::to_string(keys.size() + 2), ")f(t,i+j,q");
  for (size_t k = 0; k < keys.size(); ++k) append(out, ",v[b+", std::to_string(k), "]");
  out.append(");return t;})");
  return out;
}

std::string text_set_source() {
  std::string out;
  bool made[fixed_text_count] = {};
  for (std::span<const record_key> keys : shapes)
    for (const record_key &key : keys) {
      if (key.set_base < 0 || made[key.set_base]) continue;
      made[key.set_base] = true;
      // A bit set beyond the set's bits is never made (the converters make
      // the bits from the set's own table): it answers the texts of its
      // set's bits, as the same bits within the set do.
      append(out, "function S", std::to_string(key.set_base), "(m){switch(m&",
             std::to_string((1u << key.set_size) - 1), "){");
      for (uint32_t m = 0; m < (1u << key.set_size); ++m) {
        append(out, "case ", std::to_string(m), ":return[");
        for (int bit = 0, n = 0; bit < key.set_size; ++bit)
          if (m & (1u << bit)) append(out, n++ ? "," : "", "\"", fixed_texts[key.set_base + bit], "\"");
        out.append("];");
      }
      out.append("}}");
    }
  return out;
}

std::string answer_builder_source(size_t max_keys) {
  std::string out = "(function(s,o,e,n";
  for (size_t k = 0; k < max_keys; ++k) append(out, ",k", std::to_string(k), ",v", std::to_string(k));
  out.append("){");
  // Computed keys of a literal define own properties, as its plain keys do.
  for (const bool with_error : {false, true}) {
    out.append(with_error ? "switch(n){" : "if(e===undefined)switch(n){");
    for (size_t n = 0; n <= max_keys; ++n) {
      append(out, "case ", std::to_string(n), ":return{\"status\":T[s],\"operation\":T[o]");
      if (with_error) out.append(",\"error\":e");
      for (size_t k = 0; k < n; ++k) append(out, ",[K[k", std::to_string(k), "]]:v", std::to_string(k));
      out.append("};");
    }
    out.push_back('}');
  }
  out.append("})");
  return out;
}

std::string list_builder_source() {
  // (t, i, p, ...v): v[k] goes to t[i + k]; one left undefined is the
  // shared string of H at slot N[p + k].
  return "(function(t,i,p,...v){for(var k=0,x;k<v.length;k++){x=v[k];t[i+k]=x===undefined?H[N[p+k]]:x;}return t;})";
}

}  // namespace cifs
