// The output list is the core's module list of outputs (module_lists.h registers and broadcasts);
// here its count and records by index, and the do-nothing slots of the program's outputs.
#include "core/output_registry.h"

#include "core/module_lists.h"

int OutputModuleCount() { return OutputList().Count(); }

OutputModule* GetOutputModule(int index) { return OutputList().At(index); }

namespace output_slots {
void NoDialog(HWND) {}
int PassOn(int previous) { return previous; }
int Zero() { return 0; }
int NoPause(int) { return 0; }
void Ignore(int) {}
}  // namespace output_slots
