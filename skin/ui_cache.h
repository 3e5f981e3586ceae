// The UICache: the process-wide store of the skin's bitmaps, masks, bitmap ("alpha") fonts and
// GDI fonts under the integer ids the skin script gives them. Every bitmap is also kept under
// its file name, so two script lines naming one file share one bitmap, and the cache owns them.
#pragma once
#include <windows.h>

#include <deque>
#include <string>
#include <vector>

// The glyph sets of alpha fonts, by a font's glyph set index (0-3): a glyph's position in its
// set is its position in the strip. Null for another index.
LPCWSTR GetAlphaGlyphSet(int index);
int GetAlphaGlyphSetLength(int index);

class UICache {
 public:
  struct AlphaFont {
    int glyphWidth;   // 0 or less: proportional glyphs
    int glyphHeight;
    int id;
    COLORREF colour;  // the ink found by the scan of a proportional strip, else 0
    int glyphSet;     // 0-3
    int angle;        // degrees: 0, 90 or 270
    std::vector<int> widths;   // one per glyph of the set
    std::vector<int> offsets;  // into the strip along the text direction
  };
  struct GdiFont {
    int id;
    COLORREF colour;
    int height;  // LOGFONT height; negative: points
    int escapement, orientation;  // degrees, both from the one angle given
    int weight;
    WCHAR face[32];
    HFONT font;  // made at first use
  };

  static UICache* Get();
  static void Destroy();

  // Takes ownership of the bitmap (a null one is ignored). It is copied into a screen-format
  // DIB section unless it is already the one registered under the name; a bitmap already
  // registered under the name wins over the copy. An id already present keeps its first bitmap.
  void AddBitmap(HBITMAP bitmap, int id, LPCWSTR fileName);
  void AddMask(HBITMAP mask, int id, LPCWSTR fileName);
  // Enters the strip as AddBitmap does, then the font: false when the font is refused (a
  // proportional strip too short for its glyph set, or without its marker line).
  bool AddAlphaFont(HBITMAP bitmap, int id, int glyphWidth, int glyphHeight, int glyphSet, int angle,
                    LPCWSTR fileName);
  // The record of id; a new one without a font handle when the id is new. Null for a negative id.
  const GdiFont* AddGdiFont(int id, LPCWSTR faceName, int height, int weight, int angle, COLORREF colour);

  HBITMAP GetBitmap(int id) const;
  HBITMAP GetMask(int id) const;
  const AlphaFont* GetAlphaFont(int id) const;
  int GetAlphaFontHeight(int id) const;
  // One entry per glyph of the font's set; 256 zeros for an unknown id.
  const int* GetGlyphWidths(int id) const;
  const int* GetGlyphOffsets(int id) const;
  int GetGlyphSet(int id) const;
  int GetFontAngle(int id) const;
  bool HasGdiFont(int id) const;
  COLORREF GetFontColour(int id) const;
  HFONT GetGdiFont(HDC dc, int id);

  HBITMAP FindNamedBitmap(LPCWSTR fileName) const;
  // The mask registered under an id that holds this bitmap; null when none has one.
  HBITMAP FindMaskOf(HBITMAP bitmap) const;
  // Takes ownership of the mask and enters it for every id that holds the bitmap and has no mask
  // yet (deleted when there is none).
  void AddMaskForBitmap(HBITMAP bitmap, HBITMAP mask);
  // The handle and name of the index-th named bitmap; 0 and an empty name past the end.
  HBITMAP GetNamedBitmap(int index, LPCWSTR* name) const;
  int ReplaceBitmap(LPCWSTR fileName, HBITMAP oldHandle, HBITMAP newHandle);
  void Rescale(int numX, int numY, int den);

  // While set (the default), a negative id -k-1 names slot k of the bitmap and mask tables.
  void SetDirectIndex(bool on) { directIndex_ = on; }

 private:
  struct Entry {
    HBITMAP bitmap;
    int id;
  };
  struct Named {
    HBITMAP bitmap;
    std::u16string name;  // empty: registered without a name
  };

  UICache();
  ~UICache();
  HBITMAP Register(HBITMAP bitmap, LPCWSTR fileName, bool copy);
  HBITMAP Lookup(const std::vector<Entry>& table, int id) const;
  const GdiFont* FindGdiFont(int id) const;
  void EnterBitmap(HBITMAP bitmap, int id, LPCWSTR fileName);

  std::vector<Entry> bitmaps_;
  std::vector<Entry> masks_;
  std::deque<AlphaFont> alphaFonts_;
  std::deque<GdiFont> gdiFonts_;
  std::vector<Named> named_;
  int stretchMode_ = 0;
  bool directIndex_ = true;
};
