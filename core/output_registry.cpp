// The output list. Records are registered at the core's construction and live for the process.
#include "core/output_registry.h"

#include <vector>

namespace {

std::vector<OutputModule*>& Outputs() {
  static std::vector<OutputModule*> outputs;
  return outputs;
}

int Broadcast(int (*OutputModule::*slot)(int), int first) {
  int result = first;
  for (OutputModule* record : Outputs())
    if (record->*slot) result = (record->*slot)(result);
  return result;
}

}  // namespace

int RegisterOutputModule(OutputModule* record, HINSTANCE instance, HWND window) {
  if (!record) return static_cast<int>(Outputs().size());
  record->hwndParent = window;
  record->hDllInstance = instance;
  Outputs().push_back(record);
  return static_cast<int>(Outputs().size());
}

int OutputModulesInit(int first) { return Broadcast(&OutputModule::Init, first); }
int OutputModulesQuit(int first) { return Broadcast(&OutputModule::Quit, first); }
int OutputModuleCount() { return static_cast<int>(Outputs().size()); }

OutputModule* GetOutputModule(int index) {
  return index >= 0 && index < OutputModuleCount() ? Outputs()[index] : nullptr;
}

namespace output_slots {
void NoDialog(HWND) {}
int PassOn(int previous) { return previous; }
int Zero() { return 0; }
int NoPause(int) { return 0; }
void Ignore(int) {}
}  // namespace output_slots
