// The BMP reader's headers and tables. The bit-field masks are read where files keep them,
// straight after the info header, before the colour table and the seek to the pixels.
#include "skin/bmp_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "skin/bmp_pixels.h"

using namespace zb::skin;

namespace {

HANDLE OpenFile(const void* source) {
  return CreateFileW(static_cast<LPCWSTR>(source), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}
BOOL ReadFileBytes(HANDLE h, void* buffer, DWORD count, DWORD* got) { return ReadFile(h, buffer, count, got, nullptr); }
DWORD SeekFile(HANDLE h, LONG offset, DWORD origin) { return SetFilePointer(h, offset, nullptr, origin); }
void CloseFile(HANDLE h) { CloseHandle(h); }

bool ReadExactly(HANDLE h, const BmpSourceCallbacks& cb, void* buffer, DWORD count) {
  DWORD got = 0;
  return cb.read(h, buffer, count, &got) && got == count;
}

DWORD Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24); }
WORD Le16(const uint8_t* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

constexpr WORD kTypeBitmap = 0x4D42, kTypeIcon = 0x4349, kTypePointer = 0x5450;

// Closes the source on every way out.
struct OpenSource {
  const BmpSourceCallbacks& cb;
  HANDLE handle;
  ~OpenSource() {
    if (handle != INVALID_HANDLE_VALUE) cb.close(handle);
  }
};

bool ValidHeader(const BITMAPINFOHEADER& h) {
  const int64_t width = h.biWidth, height = h.biHeight < 0 ? -int64_t{h.biHeight} : h.biHeight;
  if (width < 1 || height < 1 || width > kBmpMaxSide || height > kBmpMaxSide || width * height > kBmpMaxPixels)
    return false;
  switch (h.biBitCount) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
  }
  switch (h.biCompression) {
    case BI_RGB: break;
    case BI_RLE8: if (h.biBitCount != 8 || h.biHeight < 0) return false; break;
    case BI_RLE4: if (h.biBitCount != 4 || h.biHeight < 0) return false; break;
    case BI_BITFIELDS: if (h.biBitCount != 16 && h.biBitCount != 32) return false; break;
    default: return false;
  }
  return h.biClrUsed <= kBmpMaxColours;
}

bool ValidMasks(const DWORD (&m)[3], int bitCount) {
  const DWORD all = m[0] | m[1] | m[2];
  return m[0] && m[1] && m[2] && !(m[0] & m[1]) && !(m[1] & m[2]) && !(m[0] & m[2]) && (bitCount == 32 || all <= 0xFFFF);
}

HBITMAP MakeSection(const BITMAPINFOHEADER& h, const DWORD (&masks)[3], void** bits) {
  struct {
    BITMAPINFOHEADER header;
    DWORD masks[3];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = h.biWidth;
  info.header.biHeight = h.biHeight;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(h.biBitCount <= 8 ? 24 : h.biBitCount);
  info.header.biCompression = h.biBitCount == 16 || h.biCompression == BI_BITFIELDS ? BI_BITFIELDS : BI_RGB;
  std::memcpy(info.masks, masks, sizeof masks);
  return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, bits, nullptr, 0);
}

// The info header, and whether it came from a 12-byte core header.
bool ReadHeader(HANDLE source, const BmpSourceCallbacks& cb, BITMAPINFOHEADER* header, bool* core) {
  // The size word first, so a short file with a core header is read without running off its end.
  uint8_t b[40];
  if (!header || !ReadExactly(source, cb, b, 4)) return false;
  const DWORD size = Le32(b);
  if (size != 12 && size != 40) return false;
  if (!ReadExactly(source, cb, b + 4, size - 4)) return false;
  *core = size == 12;
  BITMAPINFOHEADER& h = *header;
  h = {};
  h.biSize = sizeof(BITMAPINFOHEADER);
  if (size == 12) {
    h.biWidth = Le16(b + 4);
    h.biHeight = static_cast<int16_t>(Le16(b + 6));
    h.biPlanes = Le16(b + 8);
    h.biBitCount = Le16(b + 10);
  } else {
    h.biWidth = static_cast<LONG>(Le32(b + 4));
    h.biHeight = static_cast<LONG>(Le32(b + 8));
    h.biPlanes = Le16(b + 12);
    h.biBitCount = Le16(b + 14);
    h.biCompression = Le32(b + 16);
    h.biSizeImage = Le32(b + 20);
    h.biXPelsPerMeter = static_cast<LONG>(Le32(b + 24));
    h.biYPelsPerMeter = static_cast<LONG>(Le32(b + 28));
    h.biClrUsed = Le32(b + 32);
    h.biClrImportant = Le32(b + 36);
  }
  if (h.biSizeImage == 0) {
    const int64_t rows = h.biHeight < 0 ? -int64_t{h.biHeight} : h.biHeight;
    const int64_t stride = (int64_t{h.biBitCount} * h.biWidth + 31) / 8 & ~int64_t{3};
    // A hostile header's stride times rows can pass 64 bits; such an image has no size.
    int64_t bytes = 0;
    if (__builtin_mul_overflow(stride, rows, &bytes)) bytes = 0;
    h.biSizeImage = bytes > 0 && bytes <= 0xFFFFFFFF ? static_cast<DWORD>(bytes) : 0;
  }
  if (h.biClrUsed == 0 && h.biBitCount <= 8) h.biClrUsed = 1u << h.biBitCount;
  return true;
}

// Reads the pixels, uncompressed or run-length, into the target.
bool ReadPixels(HANDLE h, const BmpSourceCallbacks& cb, const BITMAPINFOHEADER& info, const BmpTarget& target) {
  if (info.biCompression == BI_RLE8 || info.biCompression == BI_RLE4) {
    // A short read is no failure here: the runs that arrived are drawn. Read in pieces, so a
    // header that claims a huge size costs only what the source really holds.
    const DWORD want = info.biSizeImage == 0 || info.biSizeImage > kBmpMaxCompressed ? kBmpMaxCompressed : info.biSizeImage;
    std::vector<uint8_t> data;
    while (data.size() < want) {
      const DWORD piece = std::min<DWORD>(want - static_cast<DWORD>(data.size()), 1u << 16);
      const size_t at = data.size();
      data.resize(at + piece);
      DWORD got = 0;
      if (!cb.read(h, data.data() + at, piece, &got)) return false;
      data.resize(at + std::min(got, piece));
      if (got < piece) break;
    }
    ExpandBmpRle(target, data, info.biCompression == BI_RLE4);
    return true;
  }
  std::vector<uint8_t> row(BmpRowBytes(target.width, info.biBitCount));
  for (int y = 0; y < target.height; ++y) {
    if (!ReadExactly(h, cb, row.data(), static_cast<DWORD>(row.size()))) return false;
    PutBmpRow(target, y, row.data(), info.biBitCount);
  }
  return true;
}

}  // namespace

const BmpSourceCallbacks kBmpFileCallbacks = {OpenFile, ReadFileBytes, SeekFile, CloseFile};

bool ReadBitmapInfoHeader(HANDLE source, const BmpSourceCallbacks& cb, BITMAPINFOHEADER* header) {
  bool core = false;
  return ReadHeader(source, cb, header, &core);
}

HBITMAP LoadBmp(const void* pathOrSource, const BmpSourceCallbacks& cb) {
  OpenSource src{cb, cb.open(pathOrSource)};
  if (src.handle == INVALID_HANDLE_VALUE) return BMP_NOT_A_BMP;
  HANDLE h = src.handle;

  uint8_t fileHeader[14];
  if (!ReadExactly(h, cb, fileHeader, sizeof fileHeader)) return BMP_NOT_A_BMP;
  const WORD type = Le16(fileHeader);
  DWORD pixelOffset = Le32(fileHeader + 10);
  if (type != kTypeBitmap && type != kTypeIcon && type != kTypePointer) return BMP_NOT_A_BMP;
  if (type != kTypeBitmap) {  // these start with the info header itself
    pixelOffset = 0;
    if (cb.seek(h, 0, FILE_BEGIN) != 0) return nullptr;
  }

  BITMAPINFOHEADER info;
  bool core = false;
  if (!ReadHeader(h, cb, &info, &core) || !ValidHeader(info)) return nullptr;

  DWORD masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (info.biBitCount == 32) {
    masks[0] = 0xFF0000;
    masks[1] = 0xFF00;
    masks[2] = 0xFF;
  }
  if (info.biCompression == BI_BITFIELDS) {
    uint8_t m[12];
    if (!ReadExactly(h, cb, m, sizeof m)) return nullptr;
    for (int i = 0; i < 3; ++i) masks[i] = Le32(m + 4 * i);
    if (!ValidMasks(masks, info.biBitCount)) return nullptr;
  }

  // The colour table: 3-byte entries after a core header, 4-byte ones otherwise. A deeper image
  // may carry one too; it is read past and not used.
  RGBQUAD colours[kBmpMaxColours] = {};
  const DWORD entrySize = core ? 3 : 4;
  for (DWORD i = 0; i < info.biClrUsed; ++i) {
    uint8_t e[4];
    if (!ReadExactly(h, cb, e, entrySize)) return nullptr;
    colours[i] = RGBQUAD{e[0], e[1], e[2], 0};
  }
  if (pixelOffset > 0x7FFFFFFF) return nullptr;
  if (pixelOffset != 0 && cb.seek(h, static_cast<LONG>(pixelOffset), FILE_BEGIN) != pixelOffset) return nullptr;

  void* bits = nullptr;
  HBITMAP bitmap = MakeSection(info, masks, &bits);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  DIBSECTION section;
  GetObjectW(bitmap, sizeof section, &section);
  const BmpTarget target{static_cast<uint8_t*>(bits), static_cast<int>(section.dsBm.bmWidthBytes), info.biWidth,
                         info.biHeight < 0 ? -info.biHeight : info.biHeight, colours};
  if (!ReadPixels(h, cb, info, target)) {
    DeleteObject(bitmap);
    return nullptr;
  }
  return bitmap;
}

