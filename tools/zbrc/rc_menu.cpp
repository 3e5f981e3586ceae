// MENU in the platform's menu template: a header of two zero words, then the items in order.
// A popup is its flags (MF_POPUP) and text followed by its items; any other item is flags, id
// and text; a separator is an item of flags 0, id 0 and an empty text. The last item of each
// level carries MF_END.
#include "zbrc/rc_parser.h"

namespace zb::rc {
namespace {

constexpr uint16_t MF_GRAYED = 0x1, MF_DISABLED = 0x2, MF_CHECKED = 0x8, MF_POPUP = 0x10, MF_MENUBARBREAK = 0x20,
                   MF_MENUBREAK = 0x40, MF_END = 0x80, MF_HELP = 0x4000;

constexpr struct {
  const char* word;
  uint16_t flag;
} kOptions[] = {{"CHECKED", MF_CHECKED},       {"GRAYED", MF_GRAYED},      {"INACTIVE", MF_DISABLED},
                {"MENUBARBREAK", MF_MENUBARBREAK}, {"MENUBREAK", MF_MENUBREAK}, {"HELP", MF_HELP}};

uint16_t Options(Parser& p) {
  uint16_t flags = 0;
  for (;;) {
    p.Accept(",");
    bool found = false;
    for (const auto& o : kOptions) {
      if (p.AcceptWord(o.word)) {
        flags |= o.flag;
        found = true;
      }
    }
    if (!found) return flags;
  }
}

void Items(Parser& p, Bytes& b, int depth) {
  if (depth > 16) p.Fail("menus nest too deeply");
  p.Begin("before the menu's items");
  size_t lastFlags = SIZE_MAX;  // where the last item's flags are, to mark it the end
  while (!p.End()) {
    size_t at = b.size();
    if (p.AcceptWord("POPUP")) {
      std::u16string text = p.String("the popup's text");
      uint16_t flags = Options(p) | MF_POPUP;
      b.U16(flags);
      b.Text(text);
      Items(p, b, depth + 1);
    } else if (p.AcceptWord("MENUITEM")) {
      if (p.AcceptWord("SEPARATOR")) {
        b.U16(0);
        b.U16(0);
        b.U16(0);
      } else {
        std::u16string text = p.String("the item's text");
        p.Expect(",", "after the item's text");
        uint16_t id = static_cast<uint16_t>(p.Number("the item's id"));
        uint16_t flags = Options(p);
        b.U16(flags);
        b.U16(id);
        b.Text(text);
      }
    } else {
      p.Fail("POPUP or MENUITEM expected");
    }
    lastFlags = at;
  }
  if (lastFlags == SIZE_MAX) return;  // an empty level has no item to mark
  uint16_t flags = static_cast<uint16_t>(b.data()[lastFlags] | b.data()[lastFlags + 1] << 8);
  b.PutU16At(lastFlags, flags | MF_END);
}

}  // namespace

std::vector<uint8_t> CompileMenu(Parser& p) {
  Bytes b;
  b.U16(0);  // version
  b.U16(0);  // offset of the items after the header
  Items(p, b, 0);
  return b.data();
}

}  // namespace zb::rc
