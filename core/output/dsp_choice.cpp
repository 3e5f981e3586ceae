// CDspChoice: the chosen DSP record found by its library's file name and its position among
// that library's records, compared without case as the device's file system does.
#include "core/output/dsp_choice.h"

#include <string>

#include "core/settings/settings.h"

namespace {

std::u16string ModuleFileName(HMODULE module) {
  WCHAR path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  return std::u16string(path, n < MAX_PATH ? n : 0);
}

std::u16string ProgramFolder() {
  std::u16string path = ModuleFileName(nullptr);
  return path.substr(0, path.find_last_of(u'\\') + 1);  // "" when there is no backslash
}

}  // namespace

DSPModule* CDspChoice::Choose(std::span<DSPModule* const> modules, const CSettings& settings) const {
  const std::u16string library = ProgramFolder() + settings.DSPPluginFile;
  DWORD position = 0;
  for (DSPModule* module : modules) {
    if (!module || _wcsicmp(ModuleFileName(module->hDllInstance).c_str(), library.c_str()) != 0) continue;
    if (position++ == settings.DSPPluginIndex) return module;
  }
  return nullptr;
}

DSPModule* CDspChoice::Get(std::span<DSPModule* const> modules, const CSettings& settings, DWORD* enabled) {
  DSPModule* chosen;
  {
    CSectionLock held(lock_);
    if (!valid_) {
      valid_ = true;
      chosen_ = Choose(modules, settings);
    }
    chosen = chosen_;
  }
  if (enabled) {
    *enabled = chosen ? settings.DSPEnabled : 0;
    return chosen;
  }
  return settings.DSPEnabled ? chosen : nullptr;
}

void CDspChoice::Reset() {
  CSectionLock held(lock_);
  valid_ = false;
  chosen_ = nullptr;
}
