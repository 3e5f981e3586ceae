// For the dialog manager: marks a window as a dialog, so that the DWL_ offsets of its window
// words name the dialog's pointer-sized result, procedure and user words instead of extra bytes.
#pragma once
#include <windows.h>

namespace zb::wm {

bool MarkDialogWindow(HWND hwnd);

}  // namespace zb::wm
