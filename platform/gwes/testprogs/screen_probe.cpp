// A program of the test's device (ZONBREL_DEVICE) that does what its arguments say, in order:
//   fill L T R B RRGGBB   fills a rectangle of the screen through GetDC(NULL)
//   scene                 draws the fixed test scene (shapes, a gradient of rectangles, text)
//   mode W H BPP DPI      gives the device's screen another mode
//   churn N               N times: switches between two modes, or (odd N) draws, as fast as it can
//   save FILE             writes the screen as PNG
//   present               shows the screen if a display is wanted, says "presenting yes|no",
//                         and reports each input event on stdout until stdin closes
// Exits 0 when every step did what it should.
#include <poll.h>
#include <unistd.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gwes/gdi_host.h"
#include "gwes/input.h"
#include "gwes/presenter.h"

// Stands in for the window manager's input entry: the test reads what arrives.
bool zb::input::Deliver(const Event& event) {
  static constexpr const char* kNames[] = {"stylus-down", "stylus-move", "stylus-up", "key-down", "key-up"};
  const auto kind = static_cast<size_t>(event.kind);
  if (kind >= std::size(kNames)) return false;
  if (kind <= static_cast<size_t>(zb::input::Kind::StylusUp)) {
    std::printf("%s %d %d\n", kNames[kind], event.x, event.y);
  } else {
    std::printf("%s %u\n", kNames[kind], event.vk);
  }
  std::fflush(stdout);
  return true;
}

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

bool Present() {
  const bool presenting = zb::presenter::StartIfWanted();
  std::printf("presenting %s\n", presenting ? "yes" : "no");
  std::fflush(stdout);
  pollfd in{STDIN_FILENO, POLLIN, 0};
  char buffer[256];
  // Until the test closes stdin, and never longer than two minutes.
  while (::poll(&in, 1, 120000) > 0 && ::read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
  }
  zb::presenter::Stop();
  return true;
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
    } else if (step == "present") {
      ok = Present();
    } else {
      std::fprintf(stderr, "screen_probe: cannot do \"%s\"\n", step.c_str());
      ok = false;
    }
  }
  if (dc) ReleaseDC(nullptr, dc);
  return ok ? 0 : 1;
}
