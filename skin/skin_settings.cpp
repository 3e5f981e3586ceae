// The process-wide copy of the settings the skin engine reads (see skin_settings.h).
#include "skin/skin_settings.h"

SkinSettings& CurrentSkinSettings() {
  static SkinSettings settings;
  return settings;
}
