// zbskin: tries a skin package by hand. "lint" loads its script and prints the loader's message
// for every bad line; "shot" renders the skin at a screen size as the player lays it out and
// saves the picture as PNG.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "device/text.h"
#include "gwes/screen_picture.h"
#include "skin/skin.h"
#include "skin/skin_fit.h"
#include "skin/skin_state.h"

namespace {

constexpr const char* kUsage =
    "Usage: zbskin lint PACKAGE\n"
    "       zbskin shot PACKAGE [--screen WxH] --out OUT.png\n"
    "lint prints the skin loader's message for each bad line of the package's script;\n"
    "shot renders the skin at the screen size (default 240x320) and saves it as PNG.\n";

int Fail(const std::string& why) {
  std::fprintf(stderr, "zbskin: %s\n", why.c_str());
  return 1;
}

// The package goes onto the device as a file of its own name in the temporary folder.
std::u16string CopyOntoDevice(const std::string& host) {
  std::ifstream in(host, std::ios::binary);
  if (!in) return {};
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  WCHAR folder[MAX_PATH];
  if (!GetTempPathW(MAX_PATH, folder)) return {};
  const std::u16string path = std::u16string(folder) + zb::FromUtf8(std::filesystem::path(host).filename().string());
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const bool ok = file != INVALID_HANDLE_VALUE && WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (!ok) DeleteFileW(path.c_str());
  return ok ? path : std::u16string();
}

HWND MakeWindow(int w, int h) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = u"ZbSkinShot";
  RegisterClassW(&wc);
  return CreateWindowExW(0, u"ZbSkinShot", u"", 0, 0, 0, w, h, nullptr, nullptr, nullptr, nullptr);
}

zb::screen::Picture Render(CSkin& skin, HWND window, int w, int h) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(dc, canvas);
  const RECT all{0, 0, w, h};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  skin.ComposeRect(all, window, dc);
  zb::screen::Picture p;
  p.width = w;
  p.height = h;
  p.pixels.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      p.pixels[static_cast<size_t>(y) * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  SelectObject(dc, old);
  DeleteObject(canvas);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  if (args.size() < 2 || (args[0] != "lint" && args[0] != "shot")) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  int w = 240, h = 320;
  std::string out;
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--screen" && i + 1 < args.size()) {
      if (std::sscanf(args[++i].c_str(), "%dx%d", &w, &h) != 2 || w < 16 || h < 16 || w > 4096 || h > 4096)
        return Fail("--screen takes WIDTHxHEIGHT");
    } else if (args[i] == "--out" && i + 1 < args.size()) {
      out = args[++i];
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (args[0] == "shot" && out.empty()) return Fail("shot needs --out OUT.png");
  const std::u16string package = CopyOntoDevice(args[1]);
  if (package.empty()) return Fail("cannot read " + args[1]);
  HWND window = MakeWindow(w, h);
  int status = 0;
  {
    // The skin state owns the skin (and the UICache) as in the player, and refreshes it.
    CSkinState state(window, nullptr);
    auto* skin = new CSkin(window);
    state.SetSkin(skin);
    const BOOL loaded = skin->Load(package.c_str());
    for (const std::u16string& m : skin->LoadMessages()) std::printf("%s\n", zb::ToUtf8(m).c_str());
    if (!loaded) {
      status = Fail(args[1] + " has no skin script");
    } else if (args[0] == "lint") {
      status = skin->LoadMessages().empty() ? 0 : 1;
    } else {
      FitSkinToSize(skin, w, h);
      state.HandleUiCommand(0, nullptr);
      if (!zb::screen::WritePng(Render(*skin, window, w, h), out)) status = Fail("cannot write " + out);
    }
  }
  DestroyWindow(window);
  DeleteFileW(package.c_str());
  return status;
}
