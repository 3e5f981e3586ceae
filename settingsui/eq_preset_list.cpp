// The preset list: names compare exactly, and a list never holds two entries of one name, so
// storing a name again moves it to the end with its new values.
#include "settingsui/eq_preset_list.h"

#include <algorithm>
#include <cstring>

#include "core/player/player_core_link.h"

namespace {

bool NameIs(const EqPreset& entry, const WCHAR* name) { return name && entry.name == name; }

}  // namespace

void CEqPresetList::SetPreset(const WCHAR* name, signed char preamp, const BYTE* bands) {
  if (!name) return;
  std::erase_if(entries_, [name](const EqPreset& e) { return NameIs(e, name); });
  if (!bands) return;
  EqPreset entry;
  entry.name = name;
  entry.preamp = preamp;
  std::memcpy(entry.bands, bands, sizeof entry.bands);
  entries_.push_back(std::move(entry));
}

int CEqPresetList::GetPreset(const WCHAR* name, signed char* preamp, BYTE* bands) const {
  const EqPreset* found = nullptr;
  if (!name) {
    if (!entries_.empty()) found = &entries_.front();
  } else {
    int index = IndexOf(name);
    if (index >= 0) found = &entries_[static_cast<size_t>(index)];
  }
  if (!found) return 0;
  if (preamp) *preamp = found->preamp;
  if (bands) std::memcpy(bands, found->bands, sizeof found->bands);
  return 1;
}

int CEqPresetList::GetName(int index, WCHAR* out) const {
  if (!out || index < 0 || index >= GetCount()) return 0;
  const std::u16string& name = entries_[static_cast<size_t>(index)].name;
  const size_t n = std::min<size_t>(name.size(), kNameBytes - 1);
  std::copy_n(name.data(), n, out);
  out[n] = 0;
  return 1;
}

int CEqPresetList::IndexOf(const WCHAR* name) const {
  auto it = std::find_if(entries_.begin(), entries_.end(), [name](const EqPreset& e) { return NameIs(e, name); });
  return it == entries_.end() ? -1 : static_cast<int>(it - entries_.begin());
}

int CEqPresetList::StoreCurrent(const WCHAR* name) {
  if (!name || !*name) return 0;
  IPlayerCoreLink* core = GetPlayerCoreLink(u"CEqPresetList::StoreCurrent");
  if (!core) return 0;
  BYTE bands[10];
  for (int i = 0; i < 10; ++i) bands[i] = static_cast<BYTE>(core->GetEqValue(i));
  SetPreset(name, static_cast<signed char>(core->GetEqValue(-1)), bands);
  currentName_ = name;
  return 1;
}
