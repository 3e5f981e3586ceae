// zbimage: loads an image the way the skin loads its BITMAP files (the BMP reader, else the
// platform's decompressor, with the transparency mask) and saves what came out as PNG, so a skin
// image can be looked at as the player will draw it.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "device/text.h"
#include "gwes/screen_picture.h"
#include "skin/image_loader.h"

namespace {

constexpr const char* kUsage =
    "Usage: zbimage IN OUT.png [--mask MASK.png]\n"
    "Loads IN (BMP, PNG, GIF or JPEG) as the skin loads its images and saves it as OUT.png;\n"
    "with --mask, also saves the image's transparency mask (white where transparent).\n";

int Fail(const std::string& why) {
  std::fprintf(stderr, "zbimage: %s\n", why.c_str());
  return 1;
}

zb::screen::Picture PictureOf(HBITMAP bitmap) {
  BITMAP bm{};
  GetObjectW(bitmap, sizeof bm, &bm);
  zb::screen::Picture p;
  p.width = bm.bmWidth;
  p.height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  p.pixels.resize(static_cast<size_t>(p.width) * p.height);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      p.pixels[static_cast<size_t>(y) * p.width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  SelectObject(dc, old);
  DeleteDC(dc);
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string maskOut;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (args[i] == "--mask" && i + 1 < args.size()) {
      maskOut = args[++i];
    } else if (args[i].rfind("--", 0) == 0) {
      std::fputs(kUsage, stderr);
      return 2;
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  // The image goes onto the device under its own extension, as skin files are unpacked.
  std::ifstream in(files[0], std::ios::binary);
  if (!in) return Fail("cannot read " + files[0]);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  WCHAR folder[MAX_PATH];
  if (!GetTempPathW(MAX_PATH, folder)) return Fail("the device has no temporary folder");
  const std::u16string path = std::u16string(folder) + u"zbimage" + zb::FromUtf8(std::filesystem::path(files[0]).extension().string());
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const bool stored = file != INVALID_HANDLE_VALUE && WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                      written == bytes.size();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (!stored) {
    DeleteFileW(path.c_str());
    return Fail("cannot copy " + files[0] + " onto the device");
  }

  HBITMAP mask = nullptr;
  HBITMAP bitmap = LoadImageFile(nullptr, path.c_str(), FALSE, maskOut.empty() ? nullptr : &mask);
  DeleteFileW(path.c_str());
  if (!bitmap) return Fail(files[0] + " is not an image the skin can load");
  const bool saved = zb::screen::WritePng(PictureOf(bitmap), files[1]);
  DeleteObject(bitmap);
  if (!saved) return Fail("cannot write " + files[1]);
  if (!maskOut.empty()) {
    if (!mask) {
      std::printf("zbimage: %s has no transparency; no mask written\n", files[0].c_str());
      return 0;
    }
    const bool maskSaved = zb::screen::WritePng(PictureOf(mask), maskOut);
    DeleteObject(mask);
    if (!maskSaved) return Fail("cannot write " + maskOut);
  }
  return 0;
}
