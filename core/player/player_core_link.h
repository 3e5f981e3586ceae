// What the settings, the preset lists and the buttons need of the player core object. The core
// registers itself here when it exists; before that callers get null, the debug log says which
// call found no core, and the caller skips that step.
#pragma once
#include <windows.h>

class IPlayerCoreLink {
 public:
  virtual ~IPlayerCoreLink() = default;
  // The core's equaliser values: -1 the preamp, 0..9 the bands (0..63, 31 flat).
  virtual int GetEqValue(int index) = 0;
  // Forgets the cached choice of DSP module, after the DSP settings changed.
  virtual void ResetDspChoice() = 0;
  // Posts the control message (1428) with a command and its source to the main window, when
  // the window is set up; a button event before that is dropped.
  virtual void PostControlCommand(WORD command, WORD source) = 0;
};

// Registers (or, with null, removes) the player core.
void SetPlayerCoreLink(IPlayerCoreLink* core);

// The registered core, or null; `caller` names the step in the debug log when there is none.
IPlayerCoreLink* GetPlayerCoreLink(const WCHAR* caller);
