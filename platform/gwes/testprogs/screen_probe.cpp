// A program of the test's device (ZONBREL_DEVICE) that does what its arguments say, in order:
//   fill L T R B RRGGBB   fills a rectangle of the screen through GetDC(NULL)
//   scene                 draws the fixed test scene (shapes, a gradient of rectangles, text)
//   mode W H BPP DPI      gives the device's screen another mode
//   churn N               N times: switches between two modes, or (odd N) draws, as fast as it can
//   save FILE             writes the screen as PNG
//   present               makes a top-level window over the whole screen (which shows the screen
//                         when a display is wanted), says "presenting yes|no", and reports
//                         the stylus, key and close messages that reach the window until stdin
//                         closes; closing the presenter's window calls its close hook ("closed")
//   present-unhooked      the same without a close hook
//   present-stubborn      the same, and the window refuses to close
//   windowless            makes a top-level window and destroys it, then waits for stdin to close
//   dialog                shows the dialog of standard controls kept as a golden rendering, says
//                         "presenting yes|no", and reports the commands its controls send
//                         ("WM_COMMAND id code") until stdin closes
// Exits 0 when every step did what it should.
#include <poll.h>
#include <unistd.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "gwes/gdi_host.h"
#include "gwes/presenter.h"
#include "gwes/tests/standard_controls.h"

namespace {

bool Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  RECT r{left, top, right, bottom};
  const bool ok = FillRect(dc, &r, brush) != 0;
  DeleteObject(brush);
  return ok;
}

bool Scene(HDC dc) {
  const int width = GetDeviceCaps(dc, HORZRES), height = GetDeviceCaps(dc, VERTRES);
  bool ok = Fill(dc, 0, 0, width, height, RGB(255, 255, 255));
  for (int i = 0; i < 8; ++i) {
    ok &= Fill(dc, i * width / 8, 0, (i + 1) * width / 8, 24, RGB(i * 32, 255 - i * 32, (i * 97) & 255));
  }
  HBRUSH blue = CreateSolidBrush(RGB(0, 64, 200));
  HGDIOBJ oldBrush = SelectObject(dc, blue);
  ok &= Ellipse(dc, 20, 40, width - 20, height / 2) != 0;
  SelectObject(dc, oldBrush);
  DeleteObject(blue);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(200, 0, 0));
  const char16_t text[] = u"Zonbrel screen";
  ok &= ExtTextOutW(dc, 10, height / 2 + 20, 0, nullptr, text, static_cast<UINT>(std::size(text) - 1), nullptr) != 0;
  return ok;
}

constexpr UINT kInputClosed = WM_APP;
bool refuseClose = false;

// The stylus and key messages the probe reports, with the point or the key they carry.
struct Reported {
  UINT message;
  const char* name;
  bool point;
};

constexpr Reported kReported[] = {
    {WM_LBUTTONDOWN, "WM_LBUTTONDOWN", true}, {WM_MOUSEMOVE, "WM_MOUSEMOVE", true},
    {WM_LBUTTONUP, "WM_LBUTTONUP", true},     {WM_KEYDOWN, "WM_KEYDOWN", false},
    {WM_KEYUP, "WM_KEYUP", false},
};

void Report(UINT message, WPARAM wParam, LPARAM lParam) {
  for (const Reported& r : kReported) {
    if (r.message != message) continue;
    if (r.point) {
      std::printf("%s %d %d\n", r.name, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    } else {
      std::printf("%s %u\n", r.name, static_cast<unsigned>(wParam));
    }
    std::fflush(stdout);
  }
}

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Report(message, wParam, lParam);
  switch (message) {
    case WM_CLOSE:
      std::printf("WM_CLOSE %u\n", static_cast<unsigned>(wParam));
      std::fflush(stdout);
      return refuseClose ? 0 : DefWindowProcW(hwnd, message, wParam, lParam);
    case kInputClosed:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

// How a "present" step's window takes being closed.
struct Way {
  const char* step;
  bool hooked;       // with its own close hook for the presenter's window
  bool refuse;       // refuses WM_CLOSE
  bool windowless;   // destroys its window at once
};

constexpr Way kWays[] = {
    {"present", true, false, false},
    {"present-unhooked", false, false, false},
    {"present-stubborn", false, true, false},
    {"windowless", false, false, true},
};

// Until the test closes stdin, and never longer than two minutes.
void AwaitInputEnd() {
  pollfd in{STDIN_FILENO, POLLIN, 0};
  char buffer[256];
  for (;;) {
    const int ready = ::poll(&in, 1, 120000);
    if (ready < 0 && errno == EINTR) continue;  // a signal the device's close took
    if (ready <= 0 || ::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) return;
  }
}

bool Present(const Way& way) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ProbeProc;
  wc.lpszClassName = u"ScreenProbe";
  if (!RegisterClassW(&wc)) return false;
  refuseClose = way.refuse;
  // No background brush: the window leaves the screen as it was drawn.
  HWND window = CreateWindowExW(0, u"ScreenProbe", u"Screen probe", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
  if (!window) return false;
  if (way.hooked) {
    zb::presenter::OnCloseRequested([window] {
      std::printf("closed\n");
      std::fflush(stdout);
      PostMessageW(window, WM_CLOSE, 0, 0);
    });
  }
  if (way.windowless && !DestroyWindow(window)) return false;
  std::printf("presenting %s\n", zb::presenter::StartIfWanted() ? "yes" : "no");
  std::fflush(stdout);
  if (way.windowless) {
    AwaitInputEnd();
  } else {
    std::thread input([window] {
      AwaitInputEnd();
      PostMessageW(window, kInputClosed, 0, 0);
    });
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    input.join();  // a window closed first still waits for stdin: no thread may post during exit
  }
  zb::presenter::Stop();
  return true;
}

// Commands are reported once the dialog is filled and shown; the focus it takes while being
// made is no input.
bool reportCommands = false;

INT_PTR CALLBACK ControlsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_DRAWITEM:
      dtest::standard::DrawOwnerDrawn(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (!reportCommands) return TRUE;
      std::printf("WM_COMMAND %u %u\n", LOWORD(wParam), HIWORD(wParam));
      std::fflush(stdout);
      return TRUE;
    case kInputClosed:
      DestroyWindow(dialog);
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return TRUE;
    default:
      return FALSE;
  }
}

// The dialog takes keys through the dialog manager, as the player's settings pages do.
bool ShowControls() {
  const dtest::Template controls = dtest::standard::ControlsTemplate();
  HWND dialog = CreateDialogIndirectParamW(nullptr, controls.get(), nullptr, ControlsProc, 0);
  const dtest::standard::Images images;
  if (!dialog || !dtest::standard::FillControls(dialog, images)) return false;
  std::printf("presenting %s\n", zb::presenter::StartIfWanted() ? "yes" : "no");
  std::fflush(stdout);
  reportCommands = true;
  std::thread input([dialog] {
    AwaitInputEnd();
    PostMessageW(dialog, kInputClosed, 0, 0);
  });
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  input.join();
  zb::presenter::Stop();
  return true;
}

const Way* WayOf(const std::string& step) {
  for (const Way& way : kWays) {
    if (step == way.step) return &way;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  HDC dc = GetDC(nullptr);
  bool ok = dc != nullptr;
  for (int i = 1; ok && i < argc; ++i) {
    const std::string step = argv[i];
    auto number = [&](int k) { return i + k < argc ? std::strtol(argv[i + k], nullptr, 0) : -1; };
    if (step == "fill" && i + 5 < argc) {
      const unsigned long rgb = std::strtoul(argv[i + 5], nullptr, 16);
      ok = Fill(dc, number(1), number(2), number(3), number(4), RGB(rgb >> 16, (rgb >> 8) & 255, rgb & 255));
      i += 5;
    } else if (step == "scene") {
      ok = Scene(dc);
    } else if (step == "mode" && i + 4 < argc) {
      ReleaseDC(nullptr, dc);
      ok = zb::gdi::SetScreenMode({static_cast<int>(number(1)), static_cast<int>(number(2)),
                                   static_cast<int>(number(3)), static_cast<int>(number(4))});
      dc = GetDC(nullptr);
      i += 4;
    } else if (step == "churn" && i + 1 < argc) {
      const long n = number(1);
      for (long k = 0; ok && k < n; ++k) {
        if (n % 2 == 0) {
          ok = zb::gdi::SetScreenMode(k % 2 ? zb::gdi::ScreenMode{480, 640, 16, 192} : zb::gdi::ScreenMode{});
        } else {
          HDC now = GetDC(nullptr);  // the mode of the moment
          ok = Fill(now, 0, 0, 480, 640, RGB(k & 255, 0, 0)) && Fill(dc, 0, 0, 480, 640, RGB(0, k & 255, 0));
          ReleaseDC(nullptr, now);
        }
      }
      i += 1;
    } else if (step == "save" && i + 1 < argc) {
      ok = zb::gdi::SaveScreenPng(argv[++i]);
    } else if (step == "dialog") {
      ok = ShowControls();
    } else if (const Way* way = WayOf(step)) {
      ok = Present(*way);
    } else {
      std::fprintf(stderr, "screen_probe: cannot do \"%s\"\n", step.c_str());
      ok = false;
    }
  }
  if (dc) ReleaseDC(nullptr, dc);
  return ok ? 0 : 1;
}
