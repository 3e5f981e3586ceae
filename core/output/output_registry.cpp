// The output list's lookups and the do-nothing slots the program's own outputs share.
#include "core/output/output_registry.h"

int OutputModuleCount() { return OutputList().Count(); }
OutputModule* GetOutputModule(int index) { return OutputList().At(index); }

namespace output_slots {
void NoDialog(HWND) {}
int PassOn(int previous) { return previous; }
int Zero() { return 0; }
int NoPause(int) { return 0; }
void Ignore(int) {}
}  // namespace output_slots
