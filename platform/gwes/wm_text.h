// The text kept for a window of this process: DefWindowProcW's WM_SETTEXT and WM_GETTEXT.
#pragma once
#include <string>
#include <windows.h>

namespace zb::wm {

void StoreText(HWND hwnd, std::u16string_view text);
std::u16string LoadText(HWND hwnd);

}  // namespace zb::wm
