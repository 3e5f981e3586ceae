// A stand-in for the player core object in tests: records what the settings and lists ask of it.
#pragma once
#include <vector>

#include "core/player/player_core_link.h"

namespace zb::testing {

class FakeCore : public IPlayerCoreLink {
 public:
  FakeCore() { SetPlayerCoreLink(this); }
  ~FakeCore() override { SetPlayerCoreLink(nullptr); }

  int GetEqValue(int index) override { return index == -1 ? preamp : bands[index]; }
  void ResetDspChoice() override { ++dspResets; }
  void PostControlCommand(WORD command, WORD source) override { posted.push_back({command, source}); }

  int preamp = 31;
  int bands[10] = {31, 31, 31, 31, 31, 31, 31, 31, 31, 31};
  int dspResets = 0;
  std::vector<std::pair<WORD, WORD>> posted;
};

}  // namespace zb::testing
