// The ANSI code page of the device: what its profile says (Western European, 1252, unless a
// profile stands in for another market's device), provided the layer can convert that page.
#include "coredll/active_code_page.h"

#include "coredll/codepage.h"
#include "device/profile.h"

namespace zb {

UINT ActiveCodePage() {
  UINT page = device::CurrentProfile()->ansiCodePage;
  // Only a concrete Windows page will do: CP_ACP and friends would name themselves.
  if (page < 0x100 || page == CP_UTF8 || page == CP_UTF7) return 1252;
  const CodePage* found = FindCodePage(page);
  return found ? page : 1252;
}

}  // namespace zb
