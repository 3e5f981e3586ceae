// Memory DCs and the state every DC keeps: CreateCompatibleDC, DeleteDC, SaveDC, RestoreDC,
// SelectObject and GetCurrentObject.
#include "gwes/gdi_dc.h"

#include "gwes/gdi_screen.h"

namespace zb::gdi {
namespace {

DcState DefaultState(std::shared_ptr<Bitmap> bitmap) {
  DcState s;
  s.bitmap = std::move(bitmap);
  s.brush = Find<Brush>(GetStockObject(WHITE_BRUSH));
  s.pen = Find<Pen>(GetStockObject(BLACK_PEN));
  s.font = SystemFont();
  s.palette = DefaultPalette();
  return s;
}

// RestoreDC selects the saved bitmap again, unless another DC has taken it meanwhile.
void RestoreBitmap(HDC hdc, DcState& restored, const std::shared_ptr<Bitmap>& current) {
  auto& saved = restored.bitmap;
  if (saved == current) return;
  if (saved->selectedInto && saved->selectedInto != hdc) {
    saved = current;
    return;
  }
  if (current->selectedInto == hdc) current->selectedInto = nullptr;
  if (!saved->stock) saved->selectedInto = hdc;
}

}  // namespace

RECT DeviceContext::ToTarget(const RECT& r) const {
  POINT a = ToTarget(r.left, r.top);
  POINT b = ToTarget(r.right, r.bottom);
  return RECT{a.x, a.y, b.x, b.y};
}

RECT DeviceContext::Extent() const {
  if (memory) return RECT{0, 0, Target().width, Target().height};
  return RECT{systemClip.left - origin.x, systemClip.top - origin.y, systemClip.right - origin.x,
              systemClip.bottom - origin.y};
}

Region DeviceContext::VisibleRegion() const {
  const Surface& s = Target();
  Region r(memory ? RECT{0, 0, s.width, s.height} : systemClip);
  if (state.clip) {
    Region user = *state.clip;
    user.Offset(origin.x, origin.y);
    r.Intersect(user);
  }
  return r;
}

COLORREF DeviceContext::Resolve(COLORREF colour) const {
  if ((colour & 0xFF000000) == 0x01000000) {
    const auto& entries = state.palette->entries;
    size_t index = colour & 0xFFFF;
    if (index >= entries.size()) index = 0;
    const PALETTEENTRY& e = entries[index];
    return RGB(e.peRed, e.peGreen, e.peBlue);
  }
  return colour & 0x00FFFFFF;
}

std::shared_ptr<DeviceContext> FindDc(HDC hdc) {
  auto dc = Find<DeviceContext>(hdc);
  if (!dc) SetLastError(ERROR_INVALID_HANDLE);
  return dc;
}

HDC AddDc(std::shared_ptr<DeviceContext> dc) {
  if (!dc->state.brush) {
    auto bitmap = dc->state.bitmap;
    dc->state = DefaultState(bitmap);
  }
  HDC hdc = As<HDC>(AddObject(dc));
  if (!dc->state.bitmap->stock) dc->state.bitmap->selectedInto = hdc;
  return hdc;
}

void DropDc(HDC hdc) {
  auto dc = Find<DeviceContext>(hdc);
  if (!dc) return;
  if (dc->state.bitmap && dc->state.bitmap->selectedInto == hdc) dc->state.bitmap->selectedInto = nullptr;
  RemoveObject(hdc);
}

}  // namespace zb::gdi

using namespace zb::gdi;

extern "C" HDC CreateCompatibleDC(HDC hdc) {
  ZB_GDI_LOCK;
  std::shared_ptr<DeviceContext> model;
  if (hdc && !(model = FindDc(hdc))) return nullptr;
  auto dc = std::make_shared<DeviceContext>();
  dc->memory = true;
  dc->state = DefaultState(DefaultMemoryBitmap());
  return AddDc(dc);
}

extern "C" BOOL DeleteDC(HDC hdc) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return FALSE;
  DropDc(hdc);
  return TRUE;
}

extern "C" int SaveDC(HDC hdc) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return 0;
  dc->saved.push_back(dc->state);
  return static_cast<int>(dc->saved.size());
}

extern "C" BOOL RestoreDC(HDC hdc, int savedDc) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return FALSE;
  const int depth = static_cast<int>(dc->saved.size());
  // Positive: that saved state; negative: relative to the latest.
  int index = savedDc > 0 ? savedDc : depth + savedDc + 1;
  if (savedDc == 0 || index < 1 || index > depth) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DcState restored = dc->saved[index - 1];
  RestoreBitmap(hdc, restored, dc->state.bitmap);
  dc->state = std::move(restored);
  dc->saved.resize(index - 1);
  return TRUE;
}

extern "C" HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  auto found = FindObject(object);
  if (!dc || !found) {
    if (dc) SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  DcState& s = dc->state;
  switch (found->Type()) {
    case OBJ_BRUSH: {
      HGDIOBJ old = s.brush->handle;
      s.brush = std::static_pointer_cast<Brush>(found);
      return old;
    }
    case OBJ_PEN: {
      HGDIOBJ old = s.pen->handle;
      s.pen = std::static_pointer_cast<Pen>(found);
      return old;
    }
    case OBJ_FONT: {
      HGDIOBJ old = s.font->handle;
      s.font = std::static_pointer_cast<Font>(found);
      return old;
    }
    case OBJ_BITMAP: {
      auto bitmap = std::static_pointer_cast<Bitmap>(found);
      if (!dc->memory || (bitmap->selectedInto && bitmap->selectedInto != hdc) || bitmap == ScreenBitmap()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
      HGDIOBJ old = s.bitmap->handle;
      if (s.bitmap->selectedInto == hdc) s.bitmap->selectedInto = nullptr;
      s.bitmap = bitmap;
      if (!bitmap->stock) bitmap->selectedInto = hdc;
      return old;
    }
    case OBJ_REGION:
      return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(SelectClipRgn(hdc, As<HRGN>(object))));
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

extern "C" HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  ZB_GDI_LOCK;
  auto dc = FindDc(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_BRUSH:
      return dc->state.brush->handle;
    case OBJ_PEN:
      return dc->state.pen->handle;
    case OBJ_FONT:
      return dc->state.font->handle;
    case OBJ_BITMAP:
      return dc->state.bitmap->handle;
    case OBJ_PAL:
      return dc->state.palette->handle;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}
