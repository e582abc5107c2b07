// The three calls of the identity library, answering from the identity model.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cifs_sim_status.h"
#include "cifssim_export.h"
#include "identity_model.h"
#include "sid.h"
#include "toral_calls.h"
#include "toral_layout.h"
#include "utf16.h"

namespace {

// Far beyond any DN the addon sends; a longer run means a missing terminator.
constexpr size_t max_name_units = 4096;
// Bounds what a capacity or needed count makes us write or allocate.
constexpr uint32_t max_entries = 1u << 16;
constexpr uint32_t sid_list_entries = 2;

// Entry i of a SEV list: the owner's SID number and i, the rest zero. Written
// over the whole capacity so a short caller buffer shows up under ASan.
void fill_entries(uint8_t *entries, uint32_t count, uint32_t owner) {
  for (uint32_t i = 0; i < count; ++i) {
    uint8_t entry[toralsim::sev_entry_size] = {};
    std::memcpy(entry, &owner, sizeof owner);
    std::memcpy(entry + 4, &i, sizeof i);
    std::memcpy(entries + size_t{i} * toralsim::sev_entry_size, entry, sizeof entry);
  }
}

}  // namespace

extern "C" CIFSSIM_EXPORT int32_t torallib_get_userinfo_from_name(const char *dn, int32_t *user_type,
                                                                  uint8_t guid[16], uint8_t sid[72],
                                                                  uint32_t *uid, int32_t *further) {
  auto &m = toralsim::model();
  std::lock_guard lock(m.mutex);
  const std::string name = dn ? dn : "";
  m.calls.push_back({"userinfo", name, 0});
  if (!dn || !user_type || !guid || !sid || !uid || !further) return TORALSIM_BAD_ARGUMENT;
  const toralsim::identity &identity = m.lookup(name);
  if (identity.userinfo_status != 0) return identity.userinfo_status;

  // GUID and uid only need to differ between users; the SID must lead back to the DN.
  const uint32_t number = m.sid_number(name);
  *user_type = identity.user_type;
  std::memset(guid, 0, toralsim::guid_area_size);
  std::memcpy(guid, &number, sizeof number);
  toralsim::write_sid(sid, number);
  *uid = 1000 + number;
  *further = 0;
  return TORALSIM_OK;
}

extern "C" CIFSSIM_EXPORT int32_t torallib_get_sevlist_from_name(const uint16_t *utf16_name, uint32_t *capacity,
                                                                 void *entries, uint32_t *is_supervisor) {
  auto &m = toralsim::model();
  std::lock_guard lock(m.mutex);
  const auto name = utf16_name ? toralsim::utf16_to_utf8(utf16_name, max_name_units) : std::nullopt;
  m.calls.push_back({"sevlist_from_name", name.value_or(""), capacity ? *capacity : 0});
  if (!name || !capacity || !entries || !is_supervisor) return TORALSIM_BAD_ARGUMENT;
  const toralsim::identity &identity = m.lookup(*name);
  if (identity.sev_status != 0) return identity.sev_status;
  // is_supervisor stays untouched: the caller may only trust it after success.
  if (identity.always_too_small || *capacity < identity.needed_capacity) {
    *capacity = identity.needed_capacity;
    return TORALSIM_BUFFER_TOO_SMALL;
  }

  fill_entries(static_cast<uint8_t *>(entries), std::min(*capacity, max_entries), m.sid_number(*name));
  *is_supervisor = identity.supervisor ? 1 : 0;
  return TORALSIM_OK;
}

extern "C" CIFSSIM_EXPORT int32_t torallib_get_sevlist_from_sid(uint8_t sid[72], uint32_t *count, void **list,
                                                                uint32_t *is_supervisor) {
  auto &m = toralsim::model();
  std::lock_guard lock(m.mutex);
  const uint32_t number = sid ? toralsim::read_sid(sid).value_or(UINT32_MAX) : UINT32_MAX;
  const bool known = number < m.sid_owners.size();
  const std::string owner = known ? m.sid_owners[number] : "";
  m.calls.push_back({"sevlist_from_sid", owner, 0});
  if (!sid || !count || !list || !is_supervisor) return TORALSIM_BAD_ARGUMENT;
  if (!known) return TORALSIM_UNKNOWN_SID;
  const toralsim::identity &identity = m.lookup(owner);
  if (identity.sid_status != 0) return identity.sid_status;

  const uint32_t entries = std::min(identity.needed_capacity ? identity.needed_capacity : sid_list_entries,
                                    max_entries);
  void *block = std::malloc(size_t{entries} * toralsim::sev_entry_size);
  if (!block) return TORALSIM_OUT_OF_MEMORY;
  fill_entries(static_cast<uint8_t *>(block), entries, number);
  *list = block;
  *count = entries;
  *is_supervisor = identity.supervisor ? 1 : 0;
  return TORALSIM_OK;
}
