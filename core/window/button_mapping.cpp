// Placeholder of the button mapping until the key engine is built: the table's bindings are
// kept, no key is mapped yet, and the debug log says so once.
#include "core/window/button_mapping.h"

namespace {

void SayNotMapped() {
  static bool said = false;
  if (said) return;
  said = true;
  OutputDebugStringW(u"Button mapping: the key engine is not built yet; bindings are kept but no key is mapped\r\n");
}

}  // namespace

void StartButtonMapping(BOOL, BOOL) { SayNotMapped(); }

void StopButtonMapping() { SayNotMapped(); }
