// The skin script's keywords for images, fonts and skin properties: BITMAP, MASK, ALPHA and FONT
// fill the UICache; TRANSPARENCY, BACKGROUND and the pragmas set the skin. A missing or broken
// image still registers its id, as a 1 x 1 bitmap.
#include "skin/bitmap_helpers.h"
#include "skin/classic_compositing.h"
#include "skin/image_loader.h"
#include "skin/skin.h"
#include "skin/skin_package.h"
#include "skin/skin_script_split.h"
#include "skin/skin_settings.h"
#include "skin/ui_cache.h"

namespace {

// BITMAP steps 1 and 2: the bitmap of that file already in the UICache (*reused set), else the
// entry decoded (a 1 x 1 stand-in when it does not decode). Null only when nothing could be made.
HBITMAP FindOrLoad(SkinParseContext* c, LPCWSTR file, bool plain, HBITMAP* mask, bool* reused) {
  if (mask) *mask = nullptr;
  *reused = false;
  if (HBITMAP known = UICache::Get()->FindNamedBitmap(file)) {
    *reused = true;
    return known;
  }
  WCHAR path[MAX_PATH] = {};
  BOOL temporary = FALSE;
  const HWND window = c->skin->GetWindow();
  HBITMAP bitmap = nullptr;
  if (ExtractSkinEntry(c->packagePath, file, path, &temporary)) {
    bitmap = plain ? LoadImageFilePlain(window, path, TRUE) : LoadImageFile(window, path, TRUE, mask);
    if (temporary) DeleteFileW(path);
  } else {
    SetSkinError(c, u"unable to extract ", file);
  }
  if (!bitmap) {
    HDC screen = GetDC(nullptr);
    bitmap = CreateScreenDib(screen, 1, 1);
    ReleaseDC(nullptr, screen);
  }
  const SkinSettings& s = CurrentSkinSettings();
  if (bitmap && !plain && SkinColoursAdjusted(s)) {
    if (HBITMAP adjusted = AdjustBitmapColours(bitmap, s.adjustColorsHue, s.adjustColorsSat)) {
      if (adjusted != bitmap) DeleteObject(bitmap);
      bitmap = adjusted;
    }
  }
  return bitmap;
}

int Transparency(SkinParseContext* c, LPCWSTR args) {
  SkinTokens t(3, 10);
  int n = 0;
  const bool ok = SplitForKeyword(c, args, &t, &n, {3});
  c->skin->SetTransparency(t.Number(0), t.Number(1), t.Number(2));
  return ok;
}

// The image of a BITMAP or ALPHA line, from the UICache or the package; the line's own message
// when there is none at all.
HBITMAP ImageOfLine(SkinParseContext* c, LPCWSTR file, LPCWSTR failure, HBITMAP* mask, bool* reused) {
  HBITMAP bitmap = FindOrLoad(c, file, false, mask, reused);
  if (!bitmap) SetSkinError(c, failure);
  return bitmap;
}

int Bitmap(SkinParseContext* c, LPCWSTR args) {
  SkinTokens t(4, 260);
  int n = 0;
  bool ok = SplitForKeyword(c, args, &t, &n, {2, 4});
  const int width = n == 2 ? -1 : t.Number(2), height = n == 2 ? -1 : t.Number(3);
  HBITMAP mask = nullptr;
  bool reused = false;
  HBITMAP bitmap = ImageOfLine(c, t.Text(1), u"error reading BITMAP (check filename or free some memory)", &mask, &reused);
  if (!bitmap) return 0;
  if (width >= 1 && height >= 1) {
    HBITMAP scaled = ResizeBitmap(1, c->skin->GetWindow(), bitmap, width, height);
    HBITMAP scaledMask = mask ? ResizeBitmap(1, c->skin->GetWindow(), mask, width, height) : nullptr;
    if (scaled) {
      if (!reused) DeleteObject(bitmap);
      bitmap = scaled;
      reused = false;
    }
    if (scaledMask) {
      DeleteObject(mask);
      mask = scaledMask;
    }
  }
  UICache* cache = UICache::Get();
  // A reused bitmap is the cache's own: registering it again under the id shares it.
  cache->AddBitmap(bitmap, t.Number(0), t.Text(1));
  if (mask) cache->AddMask(mask, t.Number(0), nullptr);
  return ok && !c->error[0];
}

int Mask(SkinParseContext* c, LPCWSTR args) {
  SkinTokens t(2, 260);
  int n = 0;
  bool ok = SplitForKeyword(c, args, &t, &n, {2});
  bool reused = false;
  HBITMAP bitmap = FindOrLoad(c, t.Text(1), true, nullptr, &reused);
  if (bitmap && !reused) {
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    const int w = bm.bmWidth, h = std::abs(bm.bmHeight);
    HBITMAP mono = CreateBitmap(w, h, 1, 1, nullptr);
    if (mono) {
      HDC screen = GetDC(nullptr);
      HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
      HGDIOBJ oldFrom = SelectObject(from, bitmap), oldTo = SelectObject(to, mono);
      BitBlt(to, 0, 0, w, h, from, 0, 0, SRCCOPY);
      SelectObject(from, oldFrom);
      SelectObject(to, oldTo);
      DeleteDC(from);
      DeleteDC(to);
      ReleaseDC(nullptr, screen);
    }
    DeleteObject(bitmap);
    bitmap = mono;
    if (!mono) {
      SetSkinError(c, u"error creating MASK (check filename or free some memory)");
      return 0;
    }
  }
  if (!bitmap) {
    SetSkinError(c, u"error creating MASK (check filename or free some memory)");
    return 0;
  }
  UICache::Get()->AddMask(bitmap, t.Number(0), t.Text(1));
  return ok && !c->error[0];
}

int Alpha(SkinParseContext* c, LPCWSTR args) {
  SkinTokens t(6, 260);
  int n = 0;
  bool ok = SplitForKeyword(c, args, &t, &n, {4, 5, 6});
  HBITMAP mask = nullptr;
  bool reused = false;
  HBITMAP bitmap = ImageOfLine(c, t.Text(1), u"error reading ALPHA (check filename or free some memory)", &mask, &reused);
  if (!bitmap) return 0;
  UICache* cache = UICache::Get();
  const int id = t.Number(0);
  cache->AddAlphaFont(bitmap, id, t.Number(2), t.Number(3), n >= 5 ? t.Number(4) : 1, n >= 6 ? t.Number(5) : 0, t.Text(1));
  if (mask) cache->AddMask(mask, id, nullptr);
  return ok && !c->error[0];
}

int Font(SkinParseContext* c, LPCWSTR args) {
  SkinTokens t(6, 260);
  int n = 0;
  bool ok = SplitForKeyword(c, args, &t, &n, {6});
  std::u16string face = t.Text(1);
  std::replace(face.begin(), face.end(), u'_', u' ');
  face.resize(std::min<size_t>(face.size(), 31));
  UICache::Get()->AddGdiFont(t.Number(0), face.c_str(), t.Number(2), t.Number(3), t.Number(4), ParseSkinColor(t.Text(5)));
  return ok;
}

int Background(SkinParseContext* c, LPCWSTR args) {
  SkinTokens t(5, 32);
  int n = 0;
  bool ok = SplitForKeyword(c, args, &t, &n, {1, 5});
  c->skin->SetBackground(t.Number(0));
  return ok;
}

int PragmaValue(SkinParseContext* c, LPCWSTR args) {
  SkinTokens t(2, 32);
  int n = 0;
  bool ok = SplitForKeyword(c, args, &t, &n, {2});
  c->skin->SetPragma(t.Number(0), t.Number(1));
  return ok;
}

// Classic skins: cuts their bitmaps into the handheld layout with the compositing table.
int ProcessClassicResources(SkinParseContext* c, LPCWSTR) { return ProcessClassicSkinResources(c->skin) ? 1 : 0; }

}  // namespace

const SkinKeyword kSkinImageKeywords[] = {
    {u"TRANSPARENCY", Transparency}, {u"BITMAP", Bitmap},
    {u"MASK", Mask},                 {u"ALPHA", Alpha},
    {u"FONT", Font},                 {u"BACKGROUND", Background},
    {u"PRAGMA_VALUE", PragmaValue},  {u"PRAGMA_PROCESS_WSZ_RESOURCES", ProcessClassicResources},
};
const int kSkinImageKeywordCount = static_cast<int>(std::size(kSkinImageKeywords));
