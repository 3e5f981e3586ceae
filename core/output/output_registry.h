// The output list: the output module records the core registered, in order, with init and quit
// broadcast to all of them. The program's own modules are declared here too.
#pragma once
#include <windows.h>

#include "core/interface/output_module.h"

// Registration, init and quit of the output list live with the other module lists.
#include "core/modules/module_lists.h"

int OutputModuleCount();
OutputModule* GetOutputModule(int index);

// The slots the program's outputs fill with nothing to do: no dialogs, quit hands the value on,
// nothing playing, no pause, volume, pan or flush.
namespace output_slots {
void NoDialog(HWND parent);
int PassOn(int previous);
int Zero();
int NoPause(int pause);
void Ignore(int value);
}  // namespace output_slots

// Discards audio; bound to decoders that only read an item's information.
extern OutputModule NullOut;
// Measures decoding speed: takes audio as fast as it comes and reports the load at close.
extern OutputModule ProfileOut;
// The one that plays: the device through waveOut (core/wave_writer.h).
extern OutputModule WaveWriterModule;
