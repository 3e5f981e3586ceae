// Fuzz entry over the skin's image loading: the BMP reader from memory and from a file, and the
// loaders that hand what it refuses to the platform's decompressor; a decoded image also goes
// through the UICache as an alpha-font strip, which scans its pixels.
#include <windows.h>

#include <fstream>
#include <memory>

#include "skin/bmp_reader.h"
#include "skin/image_loader.h"
#include "skin/image_sources.h"
#include "skin/ui_cache.h"
#include "testing/test_device.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto device = std::make_unique<zb::testing::TestDevice>();
  const ImageMemory memory{data, static_cast<DWORD>(size)};

  HBITMAP bmp = LoadBmp(&memory, zb::skin::kBmpMemoryCallbacks);
  if (bmp && bmp != BMP_NOT_A_BMP) DeleteObject(bmp);

  {
    std::ofstream out(device->Host("fuzz.img"), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  HBITMAP mask = nullptr;
  HBITMAP image = LoadImageFile(nullptr, u"\\fuzz.img", FALSE, &mask);
  if (mask) DeleteObject(mask);
  if (image) {
    // Small images also make a proportional alpha font, whose cut reads every pixel it needs.
    SIZE s{};
    BITMAP bm{};
    GetObjectW(image, sizeof bm, &bm);
    s = {bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight};
    if (s.cx * s.cy <= 4096) {
      UICache::Get()->AddAlphaFont(image, 1, -1, static_cast<int>(size % 7), static_cast<int>(size % 5) - 1,
                                   (size & 1) ? 270 : 0, nullptr);
      UICache::Destroy();
    } else {
      DeleteObject(image);
    }
  }
  HBITMAP fromMemory = LoadImageFromMemory(nullptr, &memory, TRUE);
  if (fromMemory) DeleteObject(fromMemory);
  return 0;
}
