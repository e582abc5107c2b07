// The identity library's one section: how each DN is treated (supervisor or
// not, which statuses its lookups answer), as the state file holds it and the
// controls get and set it. The SIDs handed out and the call log stay with
// the process.
#include <tuple>

#include "identity_model.h"

namespace toralsim {
namespace {

using simstate::fields;

template <class I>
auto identity_members(I &i) {
  return std::tie(i.user_type, i.supervisor, i.userinfo_status, i.sev_status, i.needed_capacity, i.always_too_small,
                  i.sid_status);
}

constexpr simstate::line_rule<identity_entries> identity_lines[] = {
    {"default",
     [](const fields &f, identity_entries &e) { return simstate::read_members(f, 1, identity_members(e.fallback)); }},
    {"dn", [](const fields &f, identity_entries &e) {
       std::string dn;
       identity i;
       if (!simstate::read_members(f, 1, std::tuple_cat(std::tie(dn), identity_members(i)))) return false;
       return e.by_dn.emplace(std::move(dn), i).second;
     }}};

const simstate::section_rule<identity_entries> sections[] = {
    {.name = "identities",
     .lines = identity_lines,
     .save = [](const identity_entries &e, std::string &out) {
       out += simstate::tagged_line("default", identity_members(e.fallback));
       for (const auto &[dn, i] : e.by_dn)
         out += simstate::tagged_line("dn", std::tuple_cat(std::tie(dn), identity_members(i)));
     },
     .allowed = [](const identity_entries &) { return true; },
     .adopt = nullptr,
     .take = [](identity_entries &from, identity_entries &into) {
       into.fallback = from.fallback;
       into.by_dn = std::move(from.by_dn);
     }},
};

std::string save_identities() { return simstate::save_sections<identity_entries>(sections, model()); }

bool load_identities(std::string_view lines) {
  return simstate::load_sections<identity_entries>(sections, lines, model());
}

}  // namespace

simstate::section_table<identity_entries> identity_sections() { return sections; }

const simstate::section_codec identity_codec{"identity", save_identities, load_identities};

}  // namespace toralsim
