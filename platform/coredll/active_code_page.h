// The device's ANSI code page (CP_ACP) lives behind this one function, so that the device
// profile can choose it without any conversion code knowing where it came from.
#pragma once
#include <windows.h>

namespace zb {

UINT ActiveCodePage();

}  // namespace zb
