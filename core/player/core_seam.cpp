// See core_seam.h.
#include "core/player/core_seam.h"

#include <string>

void LogSeam(LPCWSTR step) {
  const std::u16string line = u"not built yet: " + std::u16string(step ? step : u"?") + u"\r\n";
  OutputDebugStringW(line.c_str());
}
