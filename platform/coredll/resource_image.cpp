// Bitmaps and icons from resources, made with the window system's GDI calls. A bitmap resource
// is a packed DIB (header, colour table, pixels) and becomes a DIB section with the same
// pixels. An icon group lists its images; the one closest to the wanted size is made from its
// colour image and AND mask (a DIB of double height). Every size is checked against the
// resource, which may come from any file.
#include <cstring>
#include <vector>
#include <windows.h>

#include "coredll/resource_gwes.h"
#include "coredll/resource_tables.h"

namespace zb::res {
namespace {

using CreateDibCall = HBITMAP (*)(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD);
using CreateBitmapCall = HBITMAP (*)(int, int, UINT, UINT, const void*);
using CreateIconCall = HICON (*)(PICONINFO);
using DeleteObjectCall = BOOL (*)(HGDIOBJ);
using MetricsCall = int (*)(int);

struct Dib {
  const BITMAPINFO* info;
  const uint8_t* bits;
  int width;
  int height;  // positive: bottom-up rows
  uint32_t stride;
};

// Checks a packed DIB; `rowsDivisor` 2 reads an icon's image, whose header has the height
// doubled for the mask that follows the colour rows.
bool CheckDib(const uint8_t* p, uint32_t size, int rowsDivisor, Dib* out) {
  if (size < sizeof(BITMAPINFOHEADER)) return false;
  BITMAPINFOHEADER h;
  std::memcpy(&h, p, sizeof(h));
  const uint16_t bpp = h.biBitCount;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > size || h.biPlanes != 1 || h.biWidth <= 0 || h.biWidth > 32768 ||
      h.biHeight == 0 || h.biHeight < -32768 || h.biHeight > 65536)
    return false;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32))) return false;
  uint64_t colours = h.biClrUsed ? h.biClrUsed : (bpp <= 8 ? 1u << bpp : 0);
  if (bpp <= 8 && colours > (1u << bpp)) return false;
  uint64_t offset = h.biSize + colours * 4 + (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(h) ? 12 : 0);
  const int height = (h.biHeight < 0 ? -h.biHeight : h.biHeight) / rowsDivisor;
  const uint32_t stride = ((static_cast<uint32_t>(h.biWidth) * bpp + 31) / 32) * 4;
  if (height <= 0 || offset + static_cast<uint64_t>(stride) * height > size) return false;
  *out = Dib{reinterpret_cast<const BITMAPINFO*>(p), p + offset, h.biWidth, height, stride};
  return true;
}

bool ReadDib(const uint8_t* p, uint32_t size, int rowsDivisor, Dib* out) {
  if (CheckDib(p, size, rowsDivisor, out)) return true;
  SetLastError(ERROR_INVALID_DATA);
  return false;
}

HBITMAP MakeDibSection(const Dib& dib, const BITMAPINFO* info) {
  auto create = WindowCall<CreateDibCall>("CreateDIBSection");
  if (!create) return nullptr;
  void* bits = nullptr;
  HBITMAP bitmap = create(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) std::memcpy(bits, dib.bits, static_cast<size_t>(dib.stride) * dib.height);
  return bitmap;
}

HBITMAP BitmapFrom(const uint8_t* data, uint32_t size) {
  Dib dib;
  return ReadDib(data, size, 1, &dib) ? MakeDibSection(dib, dib.info) : nullptr;
}

struct GroupEntry {
  int width, height, bits;
  uint16_t id;
};

// The group's entry closest to the wanted size: an exact size first, then the smallest larger,
// then the largest; more colours win between equal sizes.
bool Choose(const uint8_t* p, uint32_t size, int cx, int cy, GroupEntry* out) {
  if (size < 6 || ReadU16(p + 2) != 1) return false;
  const uint16_t count = ReadU16(p + 4);
  if (count == 0 || size < 6u + 14u * count) return false;
  auto score = [cx, cy](const GroupEntry& e) {
    if (cx <= 0 || cy <= 0) return 0;  // the first image's own size
    if (e.width == cx && e.height == cy) return 1 << 20;
    if (e.width >= cx && e.height >= cy) return (1 << 19) - e.width * e.height;
    return e.width * e.height;
  };
  bool found = false;
  for (uint16_t i = 0; i < count; ++i) {
    const uint8_t* e = p + 6 + 14 * i;
    GroupEntry g{e[0] ? e[0] : 256, e[1] ? e[1] : 256, ReadU16(e + 6), ReadU16(e + 12)};
    if (!found || score(g) > score(*out) || (score(g) == score(*out) && g.bits > out->bits)) *out = g;
    found = true;
  }
  return true;
}

HICON IconFrom(const uint8_t* data, uint32_t size) {
  Dib colour;
  if (!ReadDib(data, size, 2, &colour)) return nullptr;
  const uint32_t maskStride = ((static_cast<uint32_t>(colour.width) + 31) / 32) * 4;
  const uint8_t* mask = colour.bits + static_cast<size_t>(colour.stride) * colour.height;
  if (mask + static_cast<size_t>(maskStride) * colour.height > data + size) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  auto createBitmap = WindowCall<CreateBitmapCall>("CreateBitmap");
  auto createIcon = WindowCall<CreateIconCall>("CreateIconIndirect");
  auto deleteObject = WindowCall<DeleteObjectCall>("DeleteObject");
  if (!createBitmap || !createIcon || !deleteObject) return nullptr;
  // The colour image: the same header with the height of one image.
  std::vector<uint8_t> header(reinterpret_cast<const uint8_t*>(colour.info), colour.bits);
  BITMAPINFOHEADER h;
  std::memcpy(&h, header.data(), sizeof(h));
  h.biHeight = colour.height;
  h.biSizeImage = 0;
  std::memcpy(header.data(), &h, sizeof(h));
  HBITMAP colourBitmap = MakeDibSection(colour, reinterpret_cast<const BITMAPINFO*>(header.data()));
  // The mask as a monochrome bitmap: top-down rows padded to 16 bits, from bottom-up DIB rows.
  const uint32_t wordStride = ((static_cast<uint32_t>(colour.width) + 15) / 16) * 2;
  std::vector<uint8_t> rows(static_cast<size_t>(wordStride) * colour.height);
  for (int y = 0; y < colour.height; ++y)
    std::memcpy(rows.data() + static_cast<size_t>(y) * wordStride, mask + static_cast<size_t>(colour.height - 1 - y) * maskStride, wordStride);
  HBITMAP maskBitmap = createBitmap(colour.width, colour.height, 1, 1, rows.data());
  HICON icon = nullptr;
  if (colourBitmap && maskBitmap) {
    ICONINFO info{TRUE, 0, 0, maskBitmap, colourBitmap};
    icon = createIcon(&info);  // it keeps copies
  }
  if (colourBitmap) deleteObject(colourBitmap);
  if (maskBitmap) deleteObject(maskBitmap);
  return icon;
}

HICON LoadIconSized(HINSTANCE instance, LPCWSTR name, int cx, int cy) {
  uint32_t size = 0;
  const uint8_t* group = FindData(instance, name, RT_GROUP_ICON, &size);
  if (!group) return nullptr;
  GroupEntry chosen{};
  if (!Choose(group, size, cx, cy, &chosen)) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  const uint8_t* image = FindData(instance, MAKEINTRESOURCEW(chosen.id), RT_ICON, &size);
  return image ? IconFrom(image, size) : nullptr;
}

// Predefined images of the system (a null instance) are not offered.
bool Ours(HINSTANCE instance) {
  if (instance) return true;
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return false;
}

}  // namespace
}  // namespace zb::res

using namespace zb::res;

extern "C" HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
  if (!Ours(instance)) return nullptr;
  uint32_t size = 0;
  const uint8_t* data = FindData(instance, name, RT_BITMAP, &size);
  return data ? BitmapFrom(data, size) : nullptr;
}

extern "C" HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
  if (flags & LR_LOADFROMFILE) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  if (!Ours(instance)) return nullptr;
  if (type == IMAGE_BITMAP) return LoadBitmapW(instance, name);
  if (type != IMAGE_ICON) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  if ((cx == 0 || cy == 0) && (flags & LR_DEFAULTSIZE)) {
    if (auto metrics = WindowCall<MetricsCall>("GetSystemMetrics")) {
      if (!cx) cx = metrics(11);  // SM_CXICON
      if (!cy) cy = metrics(12);  // SM_CYICON
    }
  }
  return LoadIconSized(instance, name, cx, cy);
}

extern "C" HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
  return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}
