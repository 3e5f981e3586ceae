// The main window's class and its creation: hidden, borderless, the size of the screen (except on
// the Smartphone), with the skin for this screen chosen and the default skin applied.
#include "core/window/main_window.h"

#include <tuple>

#include "core/window/main_window_neighbours.h"
#include "core/window/main_window_protocol.h"
#include "core/window/program_state.h"

namespace {
constexpr int kIconResource = 105;
}

ATOM RegisterMainWindowClass(HINSTANCE instance) {
  WNDCLASSW windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.cbWndExtra = MAIN_EXTRA_BYTES;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kMainWindowClass;
  return RegisterClassW(&windowClass);
}

BOOL CreateMainWindow(HINSTANCE instance, int) {
  HDC screen = GetDC(nullptr);
  Sleep(200);
  DetectPlatform();
  HWND window = CreateWindowExW(0, kMainWindowClass, kMainWindowClass, WS_BORDER, CW_USEDEFAULT, 0, CW_USEDEFAULT,
                                0, nullptr, nullptr, instance, nullptr);
  window = window ? Program().mainWindow : nullptr;
  if (window) {
    ShowWindow(window, SW_HIDE);
    for (auto [size, x, y] : {std::tuple{ICON_BIG, SM_CXICON, SM_CYICON}, std::tuple{ICON_SMALL, SM_CXSMICON, SM_CYSMICON}}) {
      HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, GetSystemMetrics(x),
                               GetSystemMetrics(y), 0);
      if (icon) SendMessageW(window, WM_SETICON, size, reinterpret_cast<LPARAM>(icon));
    }
  }
  const int width = GetDeviceCaps(screen, HORZRES);
  const int height = GetDeviceCaps(screen, VERTRES);
  // The Smartphone keeps its own window size; telling the platforms apart is the display
  // control's, which does not do it yet.
  if (window) SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOREDRAW);
  ReleaseDC(nullptr, screen);
  StartDisplayControl(window);
  if (!window) return FALSE;
  WCHAR skin[MAX_PATH] = {};
  if (FindSkinForScreen(skin, width, height)) StoreChosenSkin(skin);
  ApplyDefaultSkin(window, Program().commandLine.empty() ? nullptr : Program().commandLine.c_str());
  return TRUE;
}
