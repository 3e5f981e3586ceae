// Image lists: the images side by side in one bitmap, their masks side by side in a
// monochrome one (white where an image is transparent). Everything goes through GDI, so an
// image list draws into any DC the way a MaskBlt would.
#include <commctrl.h>

#include <algorithm>
#include <mutex>
#include <set>

namespace {

struct ImageList {
  int cx = 0, cy = 0;
  UINT flags = 0;
  int count = 0, capacity = 0, grow = 4;
  HBITMAP images = nullptr;
  HBITMAP masks = nullptr;  // only with ILC_MASK
  int overlays[16] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};  // 1..15 used
};

// Live lists, so a stale or made-up handle fails instead of being followed.
std::mutex g_lock;
std::set<ImageList*>& Lists() {
  static auto* lists = new std::set<ImageList*>;
  return *lists;
}

ImageList* Find(HIMAGELIST handle) {
  std::lock_guard lock(g_lock);
  auto* list = reinterpret_cast<ImageList*>(handle);
  return Lists().count(list) ? list : nullptr;
}

int Depth(UINT flags) {
  switch (flags & 0xFE) {
    case ILC_COLOR4:
      return 4;
    case ILC_COLOR8:
      return 8;
    case ILC_COLOR24:
      return 24;
    case ILC_COLOR32:
      return 32;
    default:
      return 16;  // ILC_COLOR, ILC_COLORDDB and ILC_COLOR16: the screen's own depth
  }
}

HBITMAP MakeStrip(const ImageList& list, int images, bool mask) {
  if (mask) return CreateBitmap(list.cx * images, list.cy, 1, 1, nullptr);
  struct {
    BITMAPINFOHEADER header;
    DWORD masks[3];
  } info{{sizeof(BITMAPINFOHEADER), list.cx * images, -list.cy, 1, static_cast<WORD>(Depth(list.flags)), BI_RGB, 0, 0, 0, 0, 0},
         {0xF800, 0x07E0, 0x001F}};
  if (info.header.biBitCount == 16) info.header.biCompression = BI_BITFIELDS;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, nullptr, nullptr, 0);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

// Copies (width x height) from one bitmap to another through two memory DCs. Fails when a
// bitmap is selected into some other DC.
bool Copy(HBITMAP to, int toX, HBITMAP from, int fromX, int width, int height, COLORREF sourceBk = RGB(255, 255, 255)) {
  HDC dst = CreateCompatibleDC(nullptr), src = CreateCompatibleDC(nullptr);
  HGDIOBJ oldDst = SelectObject(dst, to), oldSrc = SelectObject(src, from);
  SetBkColor(src, sourceBk);  // a colour source copied into a mask turns this colour white
  const bool ok = oldDst && oldSrc && BitBlt(dst, toX, 0, width, height, src, fromX, 0, SRCCOPY);
  if (oldDst) SelectObject(dst, oldDst);
  if (oldSrc) SelectObject(src, oldSrc);
  DeleteDC(dst);
  DeleteDC(src);
  return ok;
}

bool Reserve(ImageList& list, int needed) {
  if (needed <= list.capacity) return true;
  const int capacity = std::max(needed, list.capacity + list.grow);
  HBITMAP images = MakeStrip(list, capacity, false);
  HBITMAP masks = (list.flags & ILC_MASK) ? MakeStrip(list, capacity, true) : nullptr;
  if (!images || ((list.flags & ILC_MASK) && !masks)) {
    if (images) DeleteObject(images);
    if (masks) DeleteObject(masks);
    return false;
  }
  if (list.count) {
    Copy(images, 0, list.images, 0, list.cx * list.count, list.cy);
    if (masks) Copy(masks, 0, list.masks, 0, list.cx * list.count, list.cy);
  }
  if (list.images) DeleteObject(list.images);
  if (list.masks) DeleteObject(list.masks);
  list.images = images;
  list.masks = masks;
  list.capacity = capacity;
  return true;
}

// Adds the images of a strip; the mask comes from a mask bitmap, from a colour of the image,
// or is all black (opaque). Returns the index of the first one, or -1.
int Add(HIMAGELIST handle, HBITMAP image, HBITMAP mask, const COLORREF* maskColour) {
  ImageList* list = Find(handle);
  BITMAP bm{};
  if (!list || !image || !GetObjectW(image, sizeof bm, &bm)) return -1;
  const int n = bm.bmWidth / list->cx;
  if (n <= 0 || !Reserve(*list, list->count + n)) return -1;
  const int first = list->count;
  const int height = std::min<int>(list->cy, std::abs(bm.bmHeight));
  if (!Copy(list->images, first * list->cx, image, 0, n * list->cx, height)) return -1;
  if (list->masks) {
    bool ok = true;
    if (maskColour) {
      ok = Copy(list->masks, first * list->cx, image, 0, n * list->cx, height, *maskColour);
    } else if (mask) {
      ok = Copy(list->masks, first * list->cx, mask, 0, n * list->cx, height);
    }
    if (!ok) return -1;
  }
  list->count += n;
  return first;
}

// Moves the drawn, opaque pixels toward the highlight colour: by half for selection, a quarter
// for focus.
void Blend(HDC hdc, int x, int y, const ImageList& list, int index, int percent) {
  HDC maskDc = list.masks ? CreateCompatibleDC(nullptr) : nullptr;
  HGDIOBJ old = maskDc ? SelectObject(maskDc, list.masks) : nullptr;
  const COLORREF h = GetSysColor(COLOR_HIGHLIGHT);
  for (int j = 0; j < list.cy; ++j)
    for (int i = 0; i < list.cx; ++i) {
      if (maskDc && GetPixel(maskDc, index * list.cx + i, j) != RGB(0, 0, 0)) continue;
      const COLORREF c = GetPixel(hdc, x + i, y + j);
      if (c == CLR_INVALID) continue;
      auto mix = [percent](int a, int b) { return static_cast<BYTE>(a + (b - a) * percent / 100); };
      SetPixel(hdc, x + i, y + j, RGB(mix(GetRValue(c), GetRValue(h)), mix(GetGValue(c), GetGValue(h)), mix(GetBValue(c), GetBValue(h))));
    }
  if (maskDc) {
    SelectObject(maskDc, old);
    DeleteDC(maskDc);
  }
}

}  // namespace

extern "C" HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
  if (cx <= 0 || cy <= 0 || initial < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* list = new ImageList;
  list->cx = cx;
  list->cy = cy;
  list->flags = flags;
  list->grow = std::max(grow, 1);
  if (!Reserve(*list, std::max(initial, 1))) {
    delete list;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::lock_guard lock(g_lock);
  Lists().insert(list);
  return reinterpret_cast<HIMAGELIST>(list);
}

extern "C" BOOL ImageList_Destroy(HIMAGELIST handle) {
  ImageList* list = Find(handle);
  if (!list) return FALSE;
  {
    std::lock_guard lock(g_lock);
    Lists().erase(list);
  }
  DeleteObject(list->images);
  if (list->masks) DeleteObject(list->masks);
  delete list;
  return TRUE;
}

extern "C" int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) { return Add(list, image, mask, nullptr); }

extern "C" int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColour) {
  return Add(list, image, nullptr, &maskColour);
}

extern "C" BOOL ImageList_Draw(HIMAGELIST handle, int index, HDC hdc, int x, int y, UINT style) {
  ImageList* list = Find(handle);
  if (!list || index < 0 || index >= list->count || !hdc) return FALSE;
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, (style & ILD_MASK) ? (list->masks ? list->masks : nullptr) : list->images);
  BOOL ok = TRUE;
  if (style & ILD_MASK) {
    ok = list->masks ? BitBlt(hdc, x, y, list->cx, list->cy, src, index * list->cx, 0, SRCCOPY) : FALSE;
  } else if (list->masks) {
    // Transparent: white mask pixels keep what is there, black ones take the image.
    ok = MaskBlt(hdc, x, y, list->cx, list->cy, src, index * list->cx, 0, list->masks, index * list->cx, 0, 0xCCAA0029);
  } else {
    ok = BitBlt(hdc, x, y, list->cx, list->cy, src, index * list->cx, 0, SRCCOPY);
  }
  if (old) SelectObject(src, old);
  DeleteDC(src);
  if (ok && !(style & ILD_MASK) && (style & (ILD_BLEND50 | ILD_BLEND25)))
    Blend(hdc, x, y, *list, index, (style & ILD_BLEND50) ? 50 : 25);
  // An overlay (INDEXTOOVERLAYMASK) is drawn over the image, through its own mask.
  const int overlay = static_cast<int>((style & ILD_OVERLAYMASK) >> 8);
  if (ok && overlay > 0 && list->overlays[overlay] >= 0 && list->overlays[overlay] != index)
    ImageList_Draw(handle, list->overlays[overlay], hdc, x, y, style & ILD_TRANSPARENT);
  return ok;
}

extern "C" BOOL ImageList_GetIconSize(HIMAGELIST handle, int* cx, int* cy) {
  ImageList* list = Find(handle);
  if (!list || !cx || !cy) return FALSE;
  *cx = list->cx;
  *cy = list->cy;
  return TRUE;
}

extern "C" int ImageList_GetImageCount(HIMAGELIST handle) {
  ImageList* list = Find(handle);
  return list ? list->count : 0;
}

extern "C" BOOL ImageList_SetOverlayImage(HIMAGELIST handle, int image, int overlay) {
  ImageList* list = Find(handle);
  if (!list || overlay < 1 || overlay > 15 || image < -1 || image >= list->count) return FALSE;
  list->overlays[overlay] = image;
  return TRUE;
}

extern "C" BOOL ImageList_Remove(HIMAGELIST handle, int index) {
  ImageList* list = Find(handle);
  if (!list || index < -1 || index >= list->count) return FALSE;
  if (index == -1) {
    list->count = 0;
  } else {
    // A new strip without it: a bitmap cannot be copied onto itself through two DCs.
    for (bool mask : {false, true}) {
      HBITMAP& strip = mask ? list->masks : list->images;
      if (!strip) continue;
      HBITMAP fresh = MakeStrip(*list, list->capacity, mask);
      if (!fresh) return FALSE;
      if (index > 0) Copy(fresh, 0, strip, 0, index * list->cx, list->cy);
      const int after = list->count - index - 1;
      if (after > 0) Copy(fresh, index * list->cx, strip, (index + 1) * list->cx, after * list->cx, list->cy);
      DeleteObject(strip);
      strip = fresh;
    }
    --list->count;
  }
  for (int& o : list->overlays)
    if (o >= list->count) o = -1;
  return TRUE;
}

extern "C" int ImageList_ReplaceIcon(HIMAGELIST handle, int index, HICON icon) {
  ImageList* list = Find(handle);
  if (!list || !icon || index < -1 || index >= list->count) return -1;
  if (index == -1) {
    if (!Reserve(*list, list->count + 1)) return -1;
    index = list->count++;
  }
  // The icon drawn at the list's size: its colours into the strip, its mask into the masks.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, list->images);
  const RECT cell{index * list->cx, 0, (index + 1) * list->cx, list->cy};
  FillRect(dc, &cell, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  DrawIconEx(dc, cell.left, 0, icon, list->cx, list->cy, 0, nullptr, DI_IMAGE);
  if (list->masks) {
    SelectObject(dc, list->masks);
    FillRect(dc, &cell, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, cell.left, 0, icon, list->cx, list->cy, 0, nullptr, DI_MASK);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return index;
}

extern "C" HIMAGELIST ImageList_LoadImageW(HINSTANCE instance, LPCWSTR name, int cx, int grow, COLORREF mask, UINT type,
                                           UINT flags) {
  if (type != IMAGE_BITMAP) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, flags));
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm)) {
    if (bitmap) DeleteObject(bitmap);
    return nullptr;
  }
  if (cx <= 0) cx = std::abs(bm.bmHeight);
  const UINT colour = bm.bmBitsPixel <= 4 ? ILC_COLOR4 : bm.bmBitsPixel <= 8 ? ILC_COLOR8 : ILC_COLOR16;
  HIMAGELIST list = ImageList_Create(cx, std::abs(bm.bmHeight), colour | (mask != CLR_NONE ? ILC_MASK : 0),
                                     std::max<int>(bm.bmWidth / cx, 1), grow);
  const int added = !list ? -1 : mask != CLR_NONE ? ImageList_AddMasked(list, bitmap, mask) : ImageList_Add(list, bitmap, nullptr);
  DeleteObject(bitmap);
  if (added < 0 && list) {
    ImageList_Destroy(list);
    return nullptr;
  }
  return list;
}
