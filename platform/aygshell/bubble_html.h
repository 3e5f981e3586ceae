// The little HTML a notification bubble shows: text (bold inside <b>), line breaks (<br>, <p>),
// rules (<hr>), links (<a href>), buttons (<input type=button>) and tables, whose cells sit side
// by side (with their width in per cent and their alignment), with the character entities; every
// other tag is left out. Links and buttons answer their target when tapped.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace zb::shell {

struct HtmlPiece {
  enum Kind { Text, Link, Button, Break, Rule } kind = Text;
  std::u16string text;
  std::u16string target;  // a link's href, a button's name
  bool bold = false;
  // The table cell the piece is in: none (-1) or the table, row and cell numbers, with the
  // cell's alignment ('l', 'c', 'r') and width in per cent (0 when not given).
  int table = -1, row = 0, cell = 0;
  char align = 'l';
  int widthPercent = 0;
};

std::vector<HtmlPiece> ParseBubbleHtml(std::u16string_view html);

// A laid-out piece: where it is drawn, relative to the body's top left.
struct HtmlBox {
  size_t piece;
  RECT rect;
  size_t start = 0, length = 0;  // the part of the piece's text drawn there
};

// Lays the pieces out in lines of `width` pixels with the DC's font (bold pieces measured bold);
// answers the boxes and the body's height.
std::vector<HtmlBox> LayOutBubbleHtml(HDC dc, HFONT font, HFONT bold, const std::vector<HtmlPiece>& pieces, int width,
                                      int* height);

}  // namespace zb::shell
