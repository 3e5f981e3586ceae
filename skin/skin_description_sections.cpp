// The sections of sectioned skin descriptions: bitmaps with their magenta masks, buttons as hot
// areas, on/off and count buttons, labels with GDI fonts, the rating strip and track bars whose
// slider picture is composed from the background under the track and the thumb image.
#include "skin/skin_description_sections.h"

#include <algorithm>
#include <cwctype>

#include "skin/bitmap_helpers.h"
#include "skin/image_loader.h"
#include "skin/skin.h"
#include "skin/skin_element.h"
#include "skin/skin_element_params.h"
#include "skin/skin_settings.h"
#include "skin/ui_cache.h"

namespace {

using Tokens = std::vector<std::u16string>;

bool Is(const std::u16string& a, LPCWSTR b) { return _wcsicmp(a.c_str(), b) == 0; }
int Num(const Tokens& t, size_t i) { return i < t.size() ? SkinTokenNumber(t[i].c_str()) : 0; }

int Fail(SkinDescriptionContext* c, LPCWSTR text, LPCWSTR more = nullptr) {
  SetSkinError(&c->parse, text, more);
  return 0;
}

int WrongCount(SkinDescriptionContext* c) { return Fail(c, u"wrong amount of tokens for ", c->section.c_str()); }

SIZE SizeOf(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm)) return SIZE{0, 0};
  return SIZE{bm.bmWidth, std::abs(bm.bmHeight)};
}

void SetName(SkinElementParams* p, const std::u16string& name) {
  const size_t n = std::min<size_t>(name.size(), 259);
  std::copy(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(n), p->name);
  p->name[n] = 0;
}

void SetRect(SkinElementParams* p, int x, int y, int w, int h) {
  p->region.kind = SKIN_REGION_RECT;
  p->region.rect = RECT{x, y, x + w, y + h};
}

// An element over the background at (x, y, w, h) with its two ids (pictures, or picture and font).
SkinElementParams Params(SkinDescriptionContext* c, int kind, const std::u16string& name, int id, int x, int y, int w, int h) {
  SkinElementParams p;
  p.kind = kind;
  SetName(&p, name);
  p.ids[0] = c->backgroundId;
  p.ids[1] = id;
  SetRect(&p, x, y, w, h);
  return p;
}

int Add(SkinDescriptionContext* c, const SkinElementParams& p) {
  CSkinElement* e = CreateSkinElement(c->parse.skin, p);
  if (!e) return Fail(c, u"cannot create ", p.name);
  c->parse.skin->AddElement(e, -1);
  return 1;
}

int AddGroup(SkinDescriptionContext* c, int id) {
  SkinElementParams p;
  p.kind = SKIN_KIND_GROUP;
  p.ids[0] = id;
  return Add(c, p);
}

std::pair<int, int> OffsetOf(const SkinDescriptionContext* c, int id) {
  const auto found = c->offsets.find(id);
  return found == c->offsets.end() ? std::pair<int, int>{0, 0} : found->second;
}

// A button that looks like the background until pressed, when it shows the bitmap at the source
// point moved by the bitmap's offset.
int HotArea(SkinDescriptionContext* c, LPCWSTR name, int x, int y, int w, int h, int bitmapId, int srcX, int srcY) {
  SkinElementParams p = Params(c, SKIN_KIND_BUTTON, name, bitmapId, x, y, w, h);
  const auto [a, b] = OffsetOf(c, bitmapId);
  const int numbers[] = {x, y, w, h, x, y, srcX + a, srcY + b};
  std::copy(std::begin(numbers), std::end(numbers), p.numbers);
  return Add(c, p);
}

HBITMAP OneByOne(HWND window) {
  HDC screen = GetDC(window);
  HBITMAP b = CreateScreenDib(screen, 1, 1);
  ReleaseDC(window, screen);
  return b;
}

// The image file beside the description, decoded (1 x 1 when it does not decode), with its mask;
// a file already in the UICache is reused (*reused set, the mask then stays null).
HBITMAP LoadBitmapFile(SkinDescriptionContext* c, const std::u16string& file, HBITMAP* mask, bool* reused) {
  *mask = nullptr;
  const std::u16string path = c->folder + u"\\" + file;
  *reused = false;
  if (HBITMAP known = UICache::Get()->FindNamedBitmap(path.c_str())) {
    *reused = true;
    return known;
  }
  const HWND window = c->parse.skin->GetWindow();
  HBITMAP decoderMask = nullptr;
  HBITMAP bitmap = LoadImageFile(window, path.c_str(), TRUE, &decoderMask);
  if (!bitmap) {
    if (decoderMask) DeleteObject(decoderMask);
    decoderMask = nullptr;
    bitmap = OneByOne(window);
  }
  if (!bitmap) return nullptr;
  *mask = MakeSkinMaskFromMagenta(bitmap, decoderMask);
  const SkinSettings& s = CurrentSkinSettings();
  if (SkinColoursAdjusted(s)) {
    if (HBITMAP adjusted = AdjustBitmapColours(bitmap, s.adjustColorsHue, s.adjustColorsSat)) {
      if (adjusted != bitmap) DeleteObject(bitmap);
      bitmap = adjusted;
    }
  }
  return bitmap;
}

// Loads the file under the id (and the full path as its name); 0 when there is no bitmap at all.
int RegisterBitmapFile(SkinDescriptionContext* c, const std::u16string& file, int id) {
  HBITMAP mask = nullptr;
  bool reused = false;
  HBITMAP bitmap = LoadBitmapFile(c, file, &mask, &reused);
  if (!bitmap) return 0;
  UICache* cache = UICache::Get();
  const std::u16string path = c->folder + u"\\" + file;
  cache->AddBitmap(bitmap, id, path.c_str());
  if (mask) {
    cache->AddMask(mask, id, nullptr);
  } else if (reused) {
    if (HBITMAP shared = cache->FindMaskOf(bitmap)) cache->AddMask(shared, id, nullptr);
  }
  return 1;
}

int Bitmaps(SkinDescriptionContext* c, const Tokens& t) {
  if (t.size() != 4) return WrongCount(c);
  if (c->infoOnly) {
    if (Is(t[0], u"Background")) {
      c->preview = t[1];
      c->previewFound = true;
    }
    return 1;
  }
  const int id = c->nextBitmapId++;
  c->bitmapIds[t[0]] = id;
  if (!RegisterBitmapFile(c, t[1], id)) return Fail(c, t[0].c_str());
  c->offsets[id] = {Num(t, 2), Num(t, 3)};
  if (Is(t[0], u"Background")) {
    c->backgroundId = id;
    c->parse.skin->SetBackground(id);
    // The background's lower-right corner: a MENU element that can't be tapped.
    const SIZE size = SizeOf(UICache::Get()->GetBitmap(id));
    HotArea(c, u"MENU", size.cx, size.cy, 0, 0, id, size.cx, size.cy);
  }
  return 1;
}

int Description(SkinDescriptionContext* c, const Tokens& t) {
  if (t.size() >= 3 && Is(t[0], u"Dimensions")) {
    c->sizeFound = true;
    c->width = Num(t, 1);
    c->height = Num(t, 2);
  }
  return 1;
}

int AlbumArt(SkinDescriptionContext* c, const Tokens& t) {
  if (c->infoOnly) return 1;
  if (t.size() != 4) return WrongCount(c);
  return HotArea(c, u"VISLARGE", Num(t, 0), Num(t, 1), Num(t, 2), Num(t, 3), c->backgroundId, Num(t, 0), Num(t, 1));
}

int Video(SkinDescriptionContext* c, const Tokens& t) {
  if (c->infoOnly) return 1;
  int ok = 1;
  if (c->version && t.size() == 4) ok = AlbumArt(c, t);
  if (CurrentSkinSettings().showPlaylistOnWmpSkins) {
    if (t.size() != 4) return WrongCount(c);
    c->parse.skin->SetPragma(2, 1);
    ok = HotArea(c, u"PLAYLISTLIST", Num(t, 0), Num(t, 1), Num(t, 2), Num(t, 3), c->backgroundId, Num(t, 0), Num(t, 1)) && ok;
  }
  return ok;
}

std::u16string ButtonName(std::u16string name) {
  static constexpr struct {
    const char16_t* from;
    const char16_t* to;
  } kNames[] = {{u"FullScreen", u"VISTOGGLE"}, {u"WindowsMedia", u"CUSTOMMENU_23"}, {u"Info", u"CUSTOMMENU_22"},
                {u"Prev", u"BACK"},          {u"RepeatPlaylist", u"REPEAT"}};
  for (const auto& n : kNames)
    if (Is(name, n.from)) return n.to;
  for (auto& ch : name) ch = static_cast<char16_t>(towupper(ch));
  return name;
}

struct State {
  int id;
  int x, y;  // the source point, offset by the bitmap's own
};

int Buttons(SkinDescriptionContext* c, const Tokens& t) {
  if (c->infoOnly) return 1;
  if (t.size() < 17 || (t.size() - 17) % 4 != 0) return WrongCount(c);
  const std::u16string name = ButtonName(t[0]);
  const int x = Num(t, 2), y = Num(t, 3), w = Num(t, 4), h = Num(t, 5);
  auto idOf = [c](const std::u16string& bitmap) {
    const auto found = c->bitmapIds.find(bitmap);
    return found == c->bitmapIds.end() ? -1 : found->second;
  };
  const int own = idOf(t[6]);
  if (own < 0) return Fail(c, u"unknown bitmap ", t[6].c_str());
  auto state = [c](int id, int sx, int sy) {
    const auto [a, b] = OffsetOf(c, id);
    return State{id, sx + a, sy + b};
  };
  std::vector<State> states;
  for (size_t at = 17; at + 4 <= t.size(); at += 4) {
    const int id = idOf(t[at]);
    if (id < 0) return Fail(c, u"unknown bitmap ", t[at].c_str());
    states.push_back(state(id, Num(t, at + 2), Num(t, at + 3)));
  }
  const bool twoStateKind = name == u"REPEAT" || name == u"SHUFFLE" || name == u"MUTE";
  if (twoStateKind && states.size() != 2) {
    // On: the button's own picture; off: the background under it.
    states = {state(own, Num(t, 8), Num(t, 9)), State{c->backgroundId, x, y}};
  }
  if (states.empty()) return HotArea(c, name.c_str(), x, y, w, h, own, Num(t, 8), Num(t, 9));
  if (states.size() % 2) return Fail(c, u"odd number of states for ", name.c_str());
  SkinElementParams p;
  SetName(&p, name);
  SetRect(&p, x, y, w, h);
  const int place[] = {x, y, w, h};
  std::copy(std::begin(place), std::end(place), p.numbers);
  if (states.size() == 2) {
    // Off shows the second state, on the first; pressed shows the other one.
    p.kind = SKIN_KIND_ONOFF;
    const State order[] = {states[1], states[0], states[0], states[1]};
    for (int i = 0; i < 4; ++i) {
      p.ids[i] = order[i].id;
      p.numbers[4 + 2 * i] = order[i].x;
      p.numbers[5 + 2 * i] = order[i].y;
    }
    return Add(c, p);
  }
  const int n = static_cast<int>(std::min<size_t>(states.size(), 11));
  p.kind = SKIN_KIND_COUNTBUTTON;
  p.states = n;
  for (int i = 0; i < n; ++i) {
    p.ids[2 * i] = p.ids[2 * i + 1] = states[i].id;
    const int at = 4 + 4 * i;
    p.numbers[at] = p.numbers[at + 2] = states[i].x;
    p.numbers[at + 1] = p.numbers[at + 3] = states[i].y;
  }
  return Add(c, p);
}

int NewFont(SkinDescriptionContext* c, const std::u16string& face, int size, int weight, int r, int g, int b) {
  const int id = c->nextOtherId++;
  COLORREF colour = RGB(r, g, b);
  const SkinSettings& s = CurrentSkinSettings();
  if (SkinColoursAdjusted(s)) colour = AdjustColour(colour, s.adjustColorsHue, s.adjustColorsSat);
  UICache::Get()->AddGdiFont(id, face.substr(0, 31).c_str(), -size, weight, 0, colour);
  return id;
}

int Label(SkinDescriptionContext* c, LPCWSTR name, int font, int x, int y, int w, int h, int align) {
  SkinElementParams p = Params(c, SKIN_KIND_LABEL, name, font, x, y, w, h);
  p.numbers[0] = align;
  return Add(c, p);
}

int Marquee(SkinDescriptionContext* c, const Tokens& t) {
  if (c->infoOnly) return 1;
  if (t.size() < 10) return WrongCount(c);
  const std::u16string& style = t[6];
  const int weight = Is(style, u"B") ? 700 : Is(style, u"BE") ? 800 : Is(style, u"NE") ? 200 : Is(style, u"R") ? 500 : 400;
  const int font = NewFont(c, t[4], Num(t, 5), weight, Num(t, 7), Num(t, 8), Num(t, 9));
  return Label(c, u"TAG_7_26_9_3", font, Num(t, 0), Num(t, 1), Num(t, 2), Num(t, 3), 3);
}

int Ratings(SkinDescriptionContext* c, const Tokens& t) {
  if (c->infoOnly) return 1;
  if (t.size() != 5) return WrongCount(c);
  const int id = c->nextOtherId++;
  if (!RegisterBitmapFile(c, t[4], id)) return Fail(c, t[4].c_str());
  const int x = Num(t, 0), y = Num(t, 1), w = Num(t, 2), h = Num(t, 3);
  if (w <= 0) return Fail(c, u"empty rating strip");
  const int n = std::clamp(static_cast<int>(SizeOf(UICache::Get()->GetBitmap(id)).cx / w), 1, 11);
  SkinElementParams p;
  p.kind = SKIN_KIND_COUNTBUTTON;
  SetName(&p, u"RATING");
  SetRect(&p, x, y, w, h);
  p.states = n;
  const int place[] = {x, y, w, h};
  std::copy(std::begin(place), std::end(place), p.numbers);
  for (int i = 0; i < n; ++i) {
    p.ids[2 * i] = p.ids[2 * i + 1] = id;
    p.numbers[4 + 4 * i] = p.numbers[6 + 4 * i] = i * w;
  }
  return Add(c, p);
}

int Text(SkinDescriptionContext* c, const Tokens& t, bool status) {
  if (c->infoOnly) return 1;
  if (t.size() < 12) return WrongCount(c);
  static constexpr struct {
    const char16_t* field;
    const char16_t* label;
  } kFields[] = {{u"Time", u"TRACKVIEW"},    {u"Track#", u"PLAYLISTINDEX"}, {u"#Tracks", u"PLAYLISTCOUNT"},
                 {u"Title", u"TAG_7_26"},     {u"Author", u"TAG_5"},         {u"Copyright", u"TAG_15"},
                 {u"Filename", u"TAG_3"},     {u"FilenameExt", u"TAG_4"},    {u"Bitrate", u"TAG_1005"},
                 {u"Frequency", u"TAG_1008"}, {u"VolPercent", u"VOLUMEPERCENT"}};
  LPCWSTR label = nullptr;
  if (!status)
    for (const auto& f : kFields)
      if (Is(t[0], f.field)) label = f.label;
  if (!status && !label) return Fail(c, u"unknown text field ", t[0].c_str());
  const int align = Is(t[5], u"Right") ? 5 : Is(t[5], u"Center") ? 4 : 3;
  const int font = NewFont(c, t[6], Num(t, 7), Is(t[8], u"B") ? 700 : 400, Num(t, 9), Num(t, 10), Num(t, 11));
  const int x = Num(t, 1), y = Num(t, 2), w = Num(t, 3), h = Num(t, 4);
  if (!status) return Label(c, label, font, x, y, w, h, align);
  // The status line: the artist and album, then a group whose members take turns.
  int ok = Label(c, u"TAG_5_8", font, x, y, w, h, align) && AddGroup(c, 1024);
  for (LPCWSTR name : {u"TAG_5_8", u"TAG_6", u"TAG_11", u"TAG_301", u"STATUS"})
    ok = Label(c, name, font, x, y, w, h, align) && ok;
  return AddGroup(c, -1) && ok;
}

// The slider picture of a track bar: the background under the track on top, the two thumbs
// below it at (0, h), with a mask laid out the same way (the track part opaque).
int Trackbars(SkinDescriptionContext* c, const Tokens& t) {
  if (c->infoOnly) return 1;
  if (t.size() != 12) return WrongCount(c);
  std::u16string name = Is(t[0], u"Seek") ? std::u16string(u"TRACK") : t[0];
  for (auto& ch : name) ch = static_cast<char16_t>(towupper(ch));
  const int x = Num(t, 1), y = Num(t, 2), w = Num(t, 3), h = Num(t, 4), thumbW = Num(t, 10), thumbH = Num(t, 11);
  if (w <= 0 || h <= 0 || thumbW <= 0 || thumbH <= 0 || w > 4096 || h > 4096 || thumbW > 4096 || thumbH > 4096)
    return Fail(c, u"bad track bar size for ", name.c_str());
  HBITMAP thumbMask = nullptr;
  bool reused = false;
  HBITMAP thumb = LoadBitmapFile(c, t[9], &thumbMask, &reused);
  if (!thumb) return Fail(c, t[9].c_str());
  if (reused) thumbMask = UICache::Get()->FindMaskOf(thumb);
  const int width = std::max(w, 2 * thumbW), height = h + thumbH;
  const HWND window = c->parse.skin->GetWindow();
  HDC screen = GetDC(window);
  HBITMAP picture = CreateScreenDib(screen, width, height);
  HBITMAP mask = thumbMask ? CreateBitmap(width, height, 1, 1, nullptr) : nullptr;
  HDC to = CreateCompatibleDC(screen), from = CreateCompatibleDC(screen);
  if (picture && to && from) {
    HGDIOBJ oldTo = SelectObject(to, picture);
    PatBlt(to, 0, 0, width, height, BLACKNESS);
    if (HBITMAP background = c->parse.skin->GetBackgroundBitmap()) {
      HGDIOBJ old = SelectObject(from, background);
      BitBlt(to, 0, 0, w, h, from, x, y, SRCCOPY);
      SelectObject(from, old);
    }
    HGDIOBJ old = SelectObject(from, thumb);
    BitBlt(to, 0, h, 2 * thumbW, thumbH, from, 0, 0, SRCCOPY);
    SelectObject(from, old);
    if (mask) {
      SelectObject(to, mask);
      PatBlt(to, 0, 0, width, height, BLACKNESS);
      old = SelectObject(from, thumbMask);
      BitBlt(to, 0, h, 2 * thumbW, thumbH, from, 0, 0, SRCCOPY);
      SelectObject(from, old);
    }
    SelectObject(to, oldTo);
  }
  if (to) DeleteDC(to);
  if (from) DeleteDC(from);
  ReleaseDC(window, screen);
  if (!reused) {
    DeleteObject(thumb);
    if (thumbMask) DeleteObject(thumbMask);
  }
  if (!picture) {
    if (mask) DeleteObject(mask);
    return Fail(c, t[9].c_str());
  }
  const int id = c->nextOtherId++;
  UICache::Get()->AddBitmap(picture, id, nullptr);
  if (mask) UICache::Get()->AddMask(mask, id, nullptr);
  SkinElementParams p;
  p.kind = SKIN_KIND_SLIDER;
  SetName(&p, name);
  p.ids[0] = id;
  const int geometry[] = {1, 1, h, x, y, w, h, thumbW, thumbH, thumbW, thumbH};
  std::copy(std::begin(geometry), std::end(geometry), p.numbers);
  SetRect(&p, x, y, w, h);
  return Add(c, p);
}

}  // namespace

HBITMAP MakeSkinMaskFromMagenta(HBITMAP bitmap, HBITMAP decoderMask) {
  const SIZE size = SizeOf(bitmap);
  HBITMAP mask = size.cx > 0 ? CreateBitmap(size.cx, size.cy, 1, 1, nullptr) : nullptr;
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
  if (mask && from && to) {
    HGDIOBJ oldFrom = SelectObject(from, bitmap), oldTo = SelectObject(to, mask);
    // Colour to monochrome: the source's background colour becomes white (transparent).
    SetBkColor(from, RGB(255, 0, 255));
    BitBlt(to, 0, 0, size.cx, size.cy, from, 0, 0, SRCCOPY);
    if (decoderMask) {
      SelectObject(from, decoderMask);
      BitBlt(to, 0, 0, size.cx, size.cy, from, 0, 0, SRCPAINT);
    }
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
  }
  if (from) DeleteDC(from);
  if (to) DeleteDC(to);
  ReleaseDC(nullptr, screen);
  if (decoderMask) DeleteObject(decoderMask);
  return mask;
}

int ImportDescriptionSectionLine(SkinDescriptionContext* c, const std::vector<std::u16string>& t) {
  const std::u16string& s = c->section;
  if (!c->parse.skin && !c->infoOnly) return 1;  // nothing to build into
  if (Is(s, u"Bitmaps")) return Bitmaps(c, t);
  if (Is(s, u"Description")) return Description(c, t);
  if (Is(s, u"AlbumArt")) return AlbumArt(c, t);
  if (Is(s, u"Video")) return Video(c, t);
  if (Is(s, u"Buttons")) return Buttons(c, t);
  if (Is(s, u"Marquee") || Is(s, u"Marquis")) return Marquee(c, t);
  if (Is(s, u"Ratings")) return Ratings(c, t);
  if (Is(s, u"Text")) return Text(c, t, false);
  if (Is(s, u"Status")) return Text(c, t, true);
  if (Is(s, u"Trackbars")) return Trackbars(c, t);
  return 1;
}
