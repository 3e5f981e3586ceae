// zbskin: tries a skin file by hand (a package, or a sectioned description with the images beside
// it). "lint" loads it and prints the loader's message for every bad line; "shot" renders the
// skin at a screen size as the player lays it out and saves the picture as PNG; "dump" lists the
// elements it built; "info" prints what the skin chooser reads of it without building it.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "device/text.h"
#include "gwes/screen_picture.h"
#include "skin/skin.h"
#include "skin/skin_choice.h"
#include "skin/skin_element.h"
#include "skin/skin_fit.h"
#include "skin/skin_package.h"
#include "skin/skin_state.h"

namespace {

constexpr const char* kUsage =
    "Usage: zbskin lint PACKAGE\n"
    "       zbskin shot PACKAGE [--screen WxH] --out OUT.png\n"
    "       zbskin dump PACKAGE\n"
    "       zbskin info PACKAGE\n"
    "PACKAGE is a skin package (.zsz, .wsz) or a sectioned description (.skn) with its images.\n"
    "lint prints the skin loader's message for each bad line of the package's script;\n"
    "shot renders the skin at the screen size (default 240x320) and saves it as PNG;\n"
    "dump lists the elements the skin has (kind, name, rectangle) after its messages;\n"
    "info prints the base name, size, platform and preview image the skin chooser reads.\n";

int Fail(const std::string& why) {
  std::fprintf(stderr, "zbskin: %s\n", why.c_str());
  return 1;
}

std::u16string CopyFileOntoDevice(const std::string& host, const std::u16string& folder) {
  std::ifstream in(host, std::ios::binary);
  if (!in) return {};
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  const std::u16string path = folder + zb::FromUtf8(std::filesystem::path(host).filename().string());
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const bool ok = file != INVALID_HANDLE_VALUE && WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (!ok) DeleteFileW(path.c_str());
  return ok ? path : std::u16string();
}

bool IsDescription(const std::string& host) {
  std::string ext = std::filesystem::path(host).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".skn";
}

// A package goes onto the device as a file of its own name in the temporary folder; a sectioned
// description into a folder of its own there, with every file that lies beside it.
std::u16string CopyOntoDevice(const std::string& host, std::vector<std::u16string>* copied) {
  WCHAR temp[MAX_PATH];
  if (!GetTempPathW(MAX_PATH, temp)) return {};
  if (!IsDescription(host)) {
    std::u16string path = CopyFileOntoDevice(host, temp);
    if (!path.empty()) copied->push_back(path);
    return path;
  }
  const std::u16string folder = std::u16string(temp) + u"zbskin-description\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::u16string result;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(host).parent_path(), error)) {
    if (!entry.is_regular_file()) continue;
    const std::u16string path = CopyFileOntoDevice(entry.path().string(), folder);
    if (path.empty()) continue;
    copied->push_back(path);
    if (entry.path().filename() == std::filesystem::path(host).filename()) result = path;
  }
  copied->push_back(folder);
  return result;
}

const char* KindName(CSkinElement* e) {
  static constexpr struct {
    int kind;
    const char* name;
  } kKinds[] = {{SKIN_KIND_BUTTON, "BUTTON"}, {SKIN_KIND_ONOFF, "ONOFF"},   {SKIN_KIND_SLIDER, "SLIDER"},
                {SKIN_KIND_LABEL, "LABEL"},   {SKIN_KIND_COUNTBUTTON, "COUNTBUTTON"}, {SKIN_KIND_GROUP, "GROUP"},
                {SKIN_KIND_RATCHET, "RATCHET"}, {SKIN_KIND_PANEL, "PANEL"}, {SKIN_KIND_DIAL, "DIAL"}};
  for (const auto& k : kKinds)
    if (e->IsKind(k.kind)) return k.name;
  return "?";
}

void Dump(const CSkin& skin) {
  for (int i = 0; i < skin.GetElementCount(); ++i) {
    CSkinElement* e = skin.GetElementAt(i);
    WCHAR name[260];
    e->GetName(name, 260);
    RECT r{};
    e->GetRect(&r);
    std::printf("%s %s %ld,%ld,%ld,%ld\n", KindName(e), zb::ToUtf8(name).c_str(), static_cast<long>(r.left),
                static_cast<long>(r.top), static_cast<long>(r.right), static_cast<long>(r.bottom));
  }
}

int Info(const std::u16string& file) {
  SkinVariant v{};
  if (!ReadSkinVariant(file.c_str(), &v)) return Fail("no variant information");
  std::printf("base name: %s\nsize: %ldx%ld\nplatform: %s\n", zb::ToUtf8(v.baseName).c_str(), static_cast<long>(v.size.cx),
              static_cast<long>(v.size.cy), zb::ToUtf8(v.platform).c_str());
  WCHAR preview[MAX_PATH];
  BOOL temporary = FALSE;
  if (LoadSkinPreview(file.c_str(), preview, &temporary)) {
    const std::u16string p = preview;
    std::printf("preview: %s\n", zb::ToUtf8(p.substr(p.find_last_of(u'\\') + 1)).c_str());
    if (temporary) DeleteFileW(preview);
  }
  return 0;
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
  const std::string command = args.empty() ? std::string() : args[0];
  if (args.size() < 2 || (command != "lint" && command != "shot" && command != "dump" && command != "info")) {
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
  std::vector<std::u16string> copied;
  const std::u16string package = CopyOntoDevice(args[1], &copied);
  auto cleanUp = [&copied] {
    for (const std::u16string& path : copied)
      if (!DeleteFileW(path.c_str())) RemoveDirectoryW(path.c_str());
  };
  if (package.empty()) {
    cleanUp();
    return Fail("cannot read " + args[1]);
  }
  if (command == "info") {
    const int status = Info(package);
    cleanUp();
    return status;
  }
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
    } else if (command == "lint") {
      status = skin->LoadMessages().empty() ? 0 : 1;
    } else if (command == "dump") {
      Dump(*skin);
    } else {
      FitSkinToSize(skin, w, h);
      state.HandleUiCommand(0, nullptr);
      if (!zb::screen::WritePng(Render(*skin, window, w, h), out)) status = Fail("cannot write " + out);
    }
  }
  DestroyWindow(window);
  cleanUp();
  return status;
}
