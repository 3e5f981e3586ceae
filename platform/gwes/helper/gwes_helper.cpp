// A second process for the window system's cross-process tests, benchmark and zbdev's tests:
// a stand-in for the player's main window (class "Zonbrel", 12 extra bytes) that logs what it
// receives, answers WM_COPYDATA queries by sending WM_COPYDATA back to the asker, and runs its
// message loop until it is closed. Works on the device named by ZONBREL_DEVICE.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <windows.h>

#include "device/text.h"

namespace {

FILE* g_log = nullptr;
bool g_hang = false;

void Log(const std::string& line) {
  if (!g_log) return;
  std::fprintf(g_log, "%s\n", line.c_str());
  std::fflush(g_log);
}

LRESULT CALLBACK PlayerProc(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_CREATE:
      SetWindowLongW(hwnd, 0, 12);
      SetWindowLongW(hwnd, 4, 4321);
      SetWindowLongW(hwnd, 8, -1);
      return 0;
    case WM_COPYDATA: {
      auto* cds = reinterpret_cast<COPYDATASTRUCT*>(l);
      std::u16string text(static_cast<const char16_t*>(cds->lpData), cds->cbData / 2);
      while (!text.empty() && text.back() == 0) text.pop_back();
      Log("copydata " + std::to_string(cds->dwData) + " " + zb::ToUtf8(text));
      if (cds->dwData == 221) {
        // The answer goes back as WM_COPYDATA while the asker still waits in its send.
        static const char16_t path[] = u"\\Storage Card\\a.mp3";
        COPYDATASTRUCT reply{221, sizeof path, const_cast<char16_t*>(path)};
        return SendMessageW(reinterpret_cast<HWND>(w), WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd),
                            reinterpret_cast<LPARAM>(&reply)) + 1;
      }
      return static_cast<LRESULT>(text.size());
    }
    case WM_USER + 404:
      Log("control " + std::to_string(LOWORD(w)) + " " + std::to_string(l));
      return LOWORD(w) == 100 && l == 3 ? 351 : 0;
    case WM_USER + 9:
      if (g_hang) Sleep(INFINITE);
      return 9;
    case WM_ACTIVATE:
    case WM_KEYDOWN:
    case WM_CLOSE:
      Log(std::to_string(m) + " " + std::to_string(w) + " " + std::to_string(l));
      return DefWindowProcW(hwnd, m, w, l);
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      if (m >= WM_USER) {
        Log(std::to_string(m) + " " + std::to_string(w) + " " + std::to_string(l));
        return 1;
      }
      return DefWindowProcW(hwnd, m, w, l);
  }
}

int Player(const char* log, bool visible) {
  g_log = std::fopen(log, "a");
  WNDCLASSW wc{};
  wc.lpfnWndProc = PlayerProc;
  wc.cbWndExtra = 12;
  wc.lpszClassName = u"Zonbrel";
  if (!RegisterClassW(&wc)) return 2;
  HWND hwnd = CreateWindowExW(0, u"Zonbrel", u"Zonbrel", visible ? WS_VISIBLE : 0, 0, 0, 240, 320, nullptr,
                              nullptr, nullptr, nullptr);
  if (!hwnd) return 3;
  SetWindowLongW(hwnd, GWL_USERDATA, 1);
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, u"gwes-test/ready");
  SetEvent(ready);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  Log("quit");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 100;
  std::string_view command = argv[1];
  if (command == "player") return Player(argv[2], true);
  if (command == "hidden-player") return Player(argv[2], false);
  if (command == "hanging-player") {
    g_hang = true;
    return Player(argv[2], true);
  }
  return 100;
}
