// Which DSP module processes the samples: the one at position DSPPluginIndex among the modules
// of the library DSPPluginFile (relative to the program's folder). The answer is cached until
// the choice changes; the cache is all the lock guards, the module is called outside it.
#pragma once
#include <windows.h>

#include <span>

#include "core/common/critical_section.h"
#include "core/interface/dsp_module.h"

class CSettings;

class CDspChoice {
 public:
  // `modules` is the DSP list: every accepted record in load order, hDllInstance filled.
  // With `enabled`, writes DSPEnabled there and answers the chosen module either way;
  // without it, answers the module only while DSPEnabled is not 0. Null when none matches.
  DSPModule* Get(std::span<DSPModule* const> modules, const CSettings& settings, DWORD* enabled = nullptr);
  // Forgets the cached answer; the next block looks again.
  void Reset();

 private:
  DSPModule* Choose(std::span<DSPModule* const> modules, const CSettings& settings) const;

  CCriticalSection lock_;
  bool valid_ = false;
  DSPModule* chosen_ = nullptr;
};
