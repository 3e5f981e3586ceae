// Classic skins carry the bitmaps of the desktop layout and no script: the compositing table cuts
// and stretches them into the handheld screen. Each table line rebuilds one UICache bitmap (and
// its mask) from itself and from pieces of another bitmap.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class CSkin;

struct CompositingRecord {
  std::u16string target;
  std::u16string source;
  int width = 0;   // 0: the target's own
  int height = 0;  // 0: the target's own
  struct Piece {
    RECT from;
    RECT to;
  };
  std::vector<Piece> pieces;
};

constexpr int kCompositingTokenLength = 15;
constexpr int kCompositingMaxPieces = 64;

// One table line (the comment already cut or not): false when the line is skipped (fewer than
// four tokens, or a token longer than 15 characters).
bool ParseCompositingLine(const std::u16string& line, CompositingRecord* record);
// Rebuilds the record's target in the UICache; false when it did nothing (a bitmap missing, a
// size that can't be made).
bool ComposeSkinBitmap(CSkin* skin, const CompositingRecord& record);
// Runs a whole table text line by line: false when it holds no line.
bool RunCompositingTable(CSkin* skin, const std::u16string& text);
// The table of this program: "wszpragma.txt" beside it, else the built-in one (TEXT 143). False
// only when the built-in table can't be had or holds no line.
bool ProcessClassicSkinResources(CSkin* skin);
