// ExtEscape: the display driver's escapes the player uses, the query and the display's power
// (on or off). The power state is the device's (device/power_state.h), where tests read it.
#include <cstring>
#include <windows.h>
#include <wingdi_escape.h>

#include "device/power_state.h"

namespace power = zb::device::power;

extern "C" int ExtEscape(HDC, int escape, int inSize, LPCSTR in, int outSize, LPSTR out) {
  const bool power = power::DisplayEscapes();
  switch (escape) {
    case QUERYESCSUPPORT: {
      DWORD asked = 0;
      if (!in || inSize < static_cast<int>(sizeof asked)) return 0;
      std::memcpy(&asked, in, sizeof asked);
      return asked == QUERYESCSUPPORT || (power && (asked == SETPOWERMANAGEMENT || asked == GETPOWERMANAGEMENT));
    }
    case SETPOWERMANAGEMENT: {
      VIDEO_POWER_MANAGEMENT record{};
      if (!power) return 0;
      if (!in || inSize < static_cast<int>(sizeof record)) return -1;
      std::memcpy(&record, in, sizeof record);
      if (record.Length < sizeof record || record.PowerState < VideoPowerOn || record.PowerState > VideoPowerOff)
        return -1;
      power::SetDisplayPower(record.PowerState);
      return 1;
    }
    case GETPOWERMANAGEMENT: {
      if (!power) return 0;
      VIDEO_POWER_MANAGEMENT record{sizeof record, 1, power::DisplayPower()};
      if (!out || outSize < static_cast<int>(sizeof record)) return -1;
      std::memcpy(out, &record, sizeof record);
      return 1;
    }
    default:
      return 0;
  }
}
