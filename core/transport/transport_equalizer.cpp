// The equaliser a play starts with: an auto-load preset for the file (or the "Default" preset),
// the hooks' values (events 20 and 21), then the decoder's own equaliser when it has one, else
// the core's time-domain filter.
#include <cstring>

#include "core/player/player_core.h"
#include "core/interface/player_events.h"
#include "core/output/equalizer.h"
#include "core/output/sample_chain.h"
#include "core/settings/settings.h"
#include "core/transport/transport_neighbours.h"
#include "path_helpers.h"
#include "settingsui/eq_preset_list.h"

namespace {

constexpr WCHAR kAutoPresetName[] = u"Auto";
constexpr WCHAR kDefaultPresetName[] = u"Default";
constexpr WCHAR kCustomPresetName[] = u"Custom";
constexpr int kEqValueCount = 11;  // ten bands, then the preamp
constexpr int kDecoderEqOn = 1;
constexpr int kDecoderEqOff = 2;

}  // namespace

void CPlayerCore::StoreEqualizer(const signed char* bands, signed char preamp, LPCWSTR presetName) {
  std::memcpy(eqBands_, bands, sizeof eqBands_);
  eqPreamp_ = preamp;
  eqPresetName_ = presetName ? presetName : u"";
  if (CSettings* settings = GetSettings()) {
    settings->preampValue2 = static_cast<DWORD>(static_cast<BYTE>(preamp));
    std::memcpy(settings->eqValues, bands, sizeof settings->eqValues);
    lstrcpynW(settings->eqName, eqPresetName_.c_str(), static_cast<int>(std::size(settings->eqName)));
  }
  RefreshSkinElements(u"EQ");
}

void CPlayerCore::PrepareEqualizer(LPCWSTR path) {
  const LPCWSTR fileName = GetDisplayFileName(path);
  eqFileName_ = fileName ? fileName : u"";
  if (eqAutoLoad_) {
    signed char preamp = 0;
    BYTE bands[10] = {};
    if (autoLoadPresets_->GetPreset(eqFileName_.c_str(), &preamp, bands)) {
      StoreEqualizer(reinterpret_cast<const signed char*>(bands), preamp, kAutoPresetName);
    } else if (presets_->GetPreset(kDefaultPresetName, &preamp, bands)) {
      StoreEqualizer(reinterpret_cast<const signed char*>(bands), preamp, kDefaultPresetName);
    }
  }

  signed char values[kEqValueCount];
  std::memcpy(values, eqBands_, sizeof eqBands_);
  values[10] = eqPreamp_;
  UINT size = sizeof values;
  if (DispatchToHooks(PLAYER_EVENT_EQ_VALUES, values, sizeof values, values, &size) >= 0)
    StoreEqualizer(values, values[10], kCustomPresetName);
  DWORD on = eqOn_;
  size = sizeof on;
  if (DispatchToHooks(PLAYER_EVENT_EQ_ON, &on, sizeof on, &on, &size) >= 0) eqOn_ = on;

  std::memcpy(values, eqBands_, sizeof eqBands_);
  values[10] = eqPreamp_;
  CSettings* settings = GetSettings();
  const DWORD wmaEqDisabled = settings ? settings->wmaEqDisabled : 0;
  DecModule* decoder = decoder_.load();
  const bool decoderCan = decoder && decoder->SetEqualizer;
  if (decoderCan && wmaEqDisabled == 0)
    SetDecoderEqualizes(decoder->SetEqualizer(eqOn_ ? kDecoderEqOn : kDecoderEqOff, kEqValueCount, values, 0, 0));
  if ((!decoderCan || wmaEqDisabled != 0 || !DecoderEqualizes()) && wmaEqDisabled != 1)
    DesignEqFilter(eqOn_, eqBands_, eqPreamp_);
}
