// The little HTML a notification bubble shows: text (bold inside <b>), line breaks (<br>, <p>,
// the end of a table row), rules (<hr>), links (<a href>) and buttons (<input type=button>), with
// the character entities; every other tag is left out. Links and buttons answer their target
// when tapped.
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
