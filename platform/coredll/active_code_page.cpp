// The ANSI code page of the device: Western European (1252) on every device we stand in for.
#include "coredll/active_code_page.h"

namespace zb {

UINT ActiveCodePage() { return 1252; }

}  // namespace zb
