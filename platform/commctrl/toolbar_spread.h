// A toolbar message of the layer's own, for the shell's soft-key bar: wParam non-zero lays the
// buttons out in equal shares of the bar's width instead of each at its natural width.
#pragma once
#include <windows.h>

namespace zb::cc {

inline constexpr UINT kToolbarSpread = WM_APP + 0x3A00;

}  // namespace zb::cc
