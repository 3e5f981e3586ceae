// Font objects and their realization. Device face names map onto DejaVu families; the file is
// rendered by FreeType at the pixel size the LOGFONTW asks for (a positive height is the cell
// height, a negative one the character height). Realized faces are shared by size.
#include "gwes/gdi_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "device/text.h"
#include "gwes/gdi_screen.h"

namespace zb::gdi {
namespace {

// The device's faces and the DejaVu family that stands in for each; anything else is Sans.
struct Family {
  const char16_t* face;
  const char* files[4];  // regular, bold, italic, bold italic
};
constexpr Family kFamilies[] = {
    {u"Courier New", {"DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSansMono-Oblique.ttf", "DejaVuSansMono-BoldOblique.ttf"}},
    {u"Times New Roman", {"DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf", "DejaVuSerif-Italic.ttf", "DejaVuSerif-BoldItalic.ttf"}},
    {u"", {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf", "DejaVuSans-BoldOblique.ttf"}},
};

std::string FontFolder() {
  const char* env = std::getenv("ZONBREL_FONT_DIR");
  return env && *env ? env : "/usr/share/fonts/truetype/dejavu";
}

int DefaultHeight() { return -(12 * ScreenDpi() + 48) / 96; }

// Boxes: every glyph but the space is ink from the cell's top to the baseline, one column short
// of the advance, so neighbouring glyphs stay apart.
class TestFace : public FontFace {
 public:
  explicit TestFace(int cellHeight) {
    height = std::max(cellHeight, 2);
    ascent = height * 3 / 4;
    descent = height - ascent;
    aveCharWidth = maxCharWidth = std::max(height / 2, 2);
    fixedPitch = true;
    box_.advance = space_.advance = aveCharWidth;
    box_.top = box_.rows = ascent;
    box_.width = aveCharWidth - 1;
    box_.coverage.assign(static_cast<size_t>(box_.width) * box_.rows, 255);
  }
  const Glyph& GlyphOf(char16_t c) override { return c == u' ' ? space_ : box_; }

 private:
  Glyph box_, space_;
};

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return library;
}

class FreeTypeFace : public FontFace {
 public:
  ~FreeTypeFace() override {
    if (face_) FT_Done_Face(face_);
  }

  // Null when the file cannot be used.
  static std::shared_ptr<FreeTypeFace> Open(const std::string& path, int lfHeight, bool mono) {
    FT_Library lib = Library();
    if (!lib) return nullptr;
    auto f = std::shared_ptr<FreeTypeFace>(new FreeTypeFace);
    if (FT_New_Face(lib, path.c_str(), 0, &f->face_) != 0) {
      f->face_ = nullptr;
      return nullptr;
    }
    FT_Face face = f->face_;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const double units = face->units_per_EM;
    const double winAscent = os2 ? os2->usWinAscent : face->ascender;
    const double winDescent = os2 ? os2->usWinDescent : -face->descender;
    int ppem;
    if (lfHeight > 0) {
      ppem = std::max(1, static_cast<int>(lfHeight * units / (winAscent + winDescent) + 0.5));
      f->ascent = static_cast<int>(winAscent * lfHeight / (winAscent + winDescent) + 0.5);
      f->descent = lfHeight - f->ascent;
    } else {
      ppem = std::max(1, -lfHeight);
      f->ascent = static_cast<int>(winAscent * ppem / units + 0.5);
      f->descent = static_cast<int>(winDescent * ppem / units + 0.5);
    }
    if (FT_Set_Pixel_Sizes(face, 0, ppem) != 0) return nullptr;
    f->height = f->ascent + f->descent;
    f->internalLeading = std::max(0, f->height - ppem);
    const double scale = ppem / units;
    f->aveCharWidth = std::max(1, static_cast<int>((os2 ? os2->xAvgCharWidth : face->max_advance_width / 2) * scale + 0.5));
    f->maxCharWidth = std::max(1, static_cast<int>(face->max_advance_width * scale + 0.5));
    f->fixedPitch = FT_IS_FIXED_WIDTH(face);
    f->trueType = true;
    f->mono_ = mono;
    return f;
  }

  const Glyph& GlyphOf(char16_t c) override {
    auto it = glyphs_.find(c);
    if (it != glyphs_.end()) return it->second;
    Glyph& g = glyphs_[c];
    const FT_ULong code = (c >= 0xD800 && c <= 0xDFFF) ? 0xFFFD : c;
    const FT_Int32 flags = FT_LOAD_RENDER | (mono_ ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Char(face_, code, flags) != 0) return g;
    const FT_GlyphSlot slot = face_->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(bm.width);
    g.rows = static_cast<int>(bm.rows);
    g.coverage.assign(static_cast<size_t>(g.width) * g.rows, 0);
    for (int y = 0; y < g.rows; ++y) {
      const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
      for (int x = 0; x < g.width; ++x) {
        uint8_t v = bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255 : row[x];
        g.coverage[static_cast<size_t>(y) * g.width + x] = v;
      }
    }
    return g;
  }

 private:
  FreeTypeFace() = default;
  FT_Face face_ = nullptr;
  bool mono_ = false;
  std::unordered_map<char16_t, Glyph> glyphs_;
};

std::u16string FaceName(const LOGFONTW& font) {
  size_t n = 0;
  while (n < LF_FACESIZE && font.lfFaceName[n]) ++n;
  return std::u16string(font.lfFaceName, n);
}

}  // namespace

std::shared_ptr<FontFace> Realize(const LOGFONTW& font) {
  ZB_GDI_LOCK;
  const int lfHeight = font.lfHeight == 0 ? DefaultHeight() : font.lfHeight;
  const std::u16string name = FaceName(font);
  if (name == kTestFontFace) return std::make_shared<TestFace>(lfHeight < 0 ? -lfHeight : lfHeight);

  const Family* family = &kFamilies[std::size(kFamilies) - 1];
  for (const Family& f : kFamilies) {
    if (*f.face && EqualNoCase(name, f.face)) family = &f;
  }
  const int style = (font.lfWeight >= FW_SEMIBOLD ? 1 : 0) + (font.lfItalic ? 2 : 0);
  const bool mono = font.lfQuality == NONANTIALIASED_QUALITY;
  const std::string path = FontFolder() + "/" + family->files[style];

  static std::map<std::tuple<std::string, int, bool>, std::weak_ptr<FontFace>> cache;
  auto key = std::make_tuple(path, lfHeight, mono);
  if (auto shared = cache[key].lock()) return shared;
  std::shared_ptr<FontFace> face = FreeTypeFace::Open(path, lfHeight, mono);
  if (!face) face = std::make_shared<TestFace>(lfHeight < 0 ? -lfHeight : lfHeight);  // no font file: still draws
  cache[key] = face;
  return face;
}

int Font::Describe(int size, void* buffer) const {
  if (!buffer) return sizeof(LOGFONTW);
  if (size < static_cast<int>(sizeof(LOGFONTW))) return 0;
  std::memcpy(buffer, &log, sizeof log);
  return sizeof log;
}

FontFace& Font::Face() {
  if (!face_) face_ = Realize(log);
  return *face_;
}

std::shared_ptr<Font> MakeSystemFont() {
  auto font = std::make_shared<Font>();
  font->log.lfHeight = 0;
  font->log.lfWeight = FW_NORMAL;
  std::u16string_view face = u"Tahoma";
  std::copy(face.begin(), face.end(), font->log.lfFaceName);
  return font;
}

}  // namespace zb::gdi

using namespace zb::gdi;

extern "C" HFONT CreateFontIndirectW(const LOGFONTW* font) {
  if (!font) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  ZB_GDI_LOCK;
  auto object = std::make_shared<Font>();
  object->log = *font;
  object->log.lfFaceName[LF_FACESIZE - 1] = 0;
  // Text runs in quarter turns; other angles snap to the nearest one.
  int e = ((font->lfEscapement % 3600) + 3600) % 3600;
  object->log.lfEscapement = e >= 450 && e < 1350 ? 900 : e >= 2250 && e < 3150 ? 2700 : e >= 1350 && e < 2250 ? 1800 : 0;
  return As<HFONT>(AddObject(object));
}
