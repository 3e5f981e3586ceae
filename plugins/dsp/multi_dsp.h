// Multi-DSP's chain: every module of the DSP libraries in its own folder (itself left out), in
// discovery order, each with an enabled flag that its page sets and its Quit saves.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "core/interface/dsp_module.h"

struct ChainEntry {
  std::u16string path;  // the library's full path
  HMODULE module = nullptr;
  int index = 0;
  DSPModule* record = nullptr;
  std::atomic<LONG> enabled{0};
  bool initialised = false;  // the chain ran its Init (the player never loaded the library)
};

const std::vector<ChainEntry*>& MultiChain();

// "\<file name>,<index>\": the entry's key in the "enable" string.
std::u16string ChainKey(const ChainEntry& entry);

// The chain's "enable" string as Quit writes it: the keys of the enabled entries in chain order,
// no longer than `limit` characters; a key that would not fit and those after it are left out.
std::u16string EnableString(const std::vector<ChainEntry*>& chain, size_t limit);
