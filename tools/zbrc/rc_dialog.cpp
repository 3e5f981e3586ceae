// DIALOG and DIALOGEX in the platform's exact template layouts, which later code parses and
// patches byte by byte:
//   DLGTEMPLATE    style, exStyle, item count (u16), x, y, cx, cy; menu, class, title;
//                  [point size, face] when DS_SETFONT; items on 4-byte boundaries:
//                  style, exStyle, x, y, cx, cy, id (u16), class, title, creation-data size (u16)
//   DLGTEMPLATEEX  1, 0xFFFF, help id, exStyle, style, item count, x, y, cx, cy; menu, class,
//                  title; [point size, weight, italic, charset, face]; items on 4-byte
//                  boundaries: help id, exStyle, style, x, y, cx, cy, id (u32), class, title,
//                  creation-data size (u16)
// A menu, class or title is 0 (none), 0xFFFF and an ordinal, or a terminated string. The six
// predefined control classes are written as their ordinals 0x80..0x85.
#include <cctype>

#include "zbrc/rc_parser.h"

namespace zb::rc {
namespace {

constexpr uint32_t WS_POPUP = 0x80000000, WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000, WS_CAPTION = 0x00C00000,
                   WS_BORDER = 0x00800000, WS_SYSMENU = 0x00080000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000,
                   DS_SETFONT = 0x40;

enum ClassAtom : uint16_t { kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83, kScrollBar = 0x84, kComboBox = 0x85 };

constexpr struct {
  const char16_t* name;
  ClassAtom atom;
} kPredefinedClasses[] = {{u"BUTTON", kButton},       {u"EDIT", kEdit},         {u"STATIC", kStatic},
                          {u"LISTBOX", kListBox},     {u"SCROLLBAR", kScrollBar}, {u"COMBOBOX", kComboBox}};

// A menu, class or title field: none, an ordinal or a string.
struct Field {
  enum { None, Ordinal, Text } kind = None;
  uint16_t ordinal = 0;
  std::u16string text;
  void Write(Bytes& b) const {
    if (kind == None) {
      b.U16(0);
    } else if (kind == Ordinal) {
      b.U16(0xFFFF);
      b.U16(ordinal);
    } else {
      b.Text(text);
    }
  }
};

Field OrdinalField(uint16_t n) { return Field{Field::Ordinal, n, {}}; }
Field TextField(std::u16string s) { return Field{Field::Text, 0, std::move(s)}; }

Field ClassField(std::u16string name) {
  for (const auto& c : kPredefinedClasses)
    if (Upper(name) == c.name) return OrdinalField(c.atom);
  return TextField(std::move(name));
}

// The control statements with a fixed class: their default style (WS_CHILD | WS_VISIBLE are
// added to all) and whether the statement starts with a text.
struct ControlKind {
  const char* word;
  ClassAtom atom;
  uint32_t style;
  bool text;
};

constexpr ControlKind kControls[] = {
    {"LTEXT", kStatic, 0x0 | WS_GROUP, true},
    {"RTEXT", kStatic, 0x2 | WS_GROUP, true},
    {"CTEXT", kStatic, 0x1 | WS_GROUP, true},
    {"PUSHBUTTON", kButton, 0x0 | WS_TABSTOP, true},
    {"DEFPUSHBUTTON", kButton, 0x1 | WS_TABSTOP, true},
    {"PUSHBOX", kButton, 0xA | WS_TABSTOP, true},
    {"CHECKBOX", kButton, 0x2 | WS_TABSTOP, true},
    {"AUTOCHECKBOX", kButton, 0x3 | WS_TABSTOP, true},
    {"RADIOBUTTON", kButton, 0x4 | WS_TABSTOP, true},
    {"AUTORADIOBUTTON", kButton, 0x9 | WS_TABSTOP, true},
    {"STATE3", kButton, 0x5 | WS_TABSTOP, true},
    {"AUTO3STATE", kButton, 0x6 | WS_TABSTOP, true},
    {"GROUPBOX", kButton, 0x7, true},
    {"EDITTEXT", kEdit, 0x0 | WS_BORDER | WS_TABSTOP, false},
    {"LISTBOX", kListBox, 0x1 | WS_BORDER, false},
    {"COMBOBOX", kComboBox, 0x1 | WS_TABSTOP, false},
    {"SCROLLBAR", kScrollBar, 0x0, false},
    {"ICON", kStatic, 0x3, true},
};

struct Control {
  Field klass;
  Field title;
  uint32_t id = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  uint32_t helpId = 0;
};

int16_t Coordinate(Parser& p, const char* what) { return static_cast<int16_t>(p.Number(what)); }

// A title that may be a string or a number (an icon's or bitmap's ordinal).
Field Title(Parser& p) {
  if (p.Peek().kind == Token::String) return TextField(p.String("the control's text"));
  if (p.Peek().kind == Token::Identifier) {  // an icon named rather than numbered
    std::string name = p.Next().text;
    return TextField(std::u16string(name.begin(), name.end()));
  }
  return OrdinalField(static_cast<uint16_t>(p.Number("the control's text")));
}

// ", exStyle [, helpId]" after a control's style, as far as given.
void Tail(Parser& p, Control& c, bool extended) {
  if (!p.Accept(",")) return;
  c.exStyle = static_cast<uint32_t>(p.Number("the extended style"));
  if (extended && p.Accept(",")) c.helpId = static_cast<uint32_t>(p.Number("the help id"));
}

Control ParseControl(Parser& p, bool extended) {
  Control c;
  if (p.AcceptWord("CONTROL")) {
    c.title = Title(p);
    p.Expect(",", "after the control's text");
    c.id = static_cast<uint32_t>(p.Number("the control's id"));
    p.Expect(",", "after the control's id");
    if (p.Peek().kind == Token::String) {
      c.klass = ClassField(p.String("the control's class"));
    } else {
      const Token& t = p.Next();
      if (t.kind != Token::Identifier) throw Error(Where(t), "a control class expected");
      c.klass = ClassField(std::u16string(t.text.begin(), t.text.end()));
    }
    p.Expect(",", "after the control's class");
    c.style = p.StyleList().Over(WS_CHILD | WS_VISIBLE);
    p.Expect(",", "after the control's style");
    c.x = Coordinate(p, "x");
    p.Expect(",", "after x");
    c.y = Coordinate(p, "y");
    p.Expect(",", "after y");
    c.cx = Coordinate(p, "the width");
    p.Expect(",", "after the width");
    c.cy = Coordinate(p, "the height");
    Tail(p, c, extended);
    return c;
  }
  for (const ControlKind& k : kControls) {
    if (!p.AcceptWord(k.word)) continue;
    c.klass = OrdinalField(k.atom);
    if (k.text) {
      c.title = Title(p);
      p.Expect(",", "after the control's text");
    } else {
      c.title = TextField(u"");
    }
    c.id = static_cast<uint32_t>(p.Number("the control's id"));
    p.Expect(",", "after the control's id");
    c.x = Coordinate(p, "x");
    p.Expect(",", "after x");
    c.y = Coordinate(p, "y");
    uint32_t defaults = WS_CHILD | WS_VISIBLE | k.style;
    bool icon = std::string_view(k.word) == "ICON";
    // An icon's size and style are optional; every other control has both sizes.
    if (!icon || p.Peek().text == ",") {
      p.Expect(",", "after y");
      c.cx = Coordinate(p, "the width");
      p.Expect(",", "after the width");
      c.cy = Coordinate(p, "the height");
    }
    Style style;
    if (p.Accept(",")) style = p.StyleList();
    c.style = style.Over(defaults);
    Tail(p, c, extended);
    return c;
  }
  p.Fail("a control statement expected");
}

}  // namespace

std::vector<uint8_t> CompileDialog(Parser& p, bool extended) {
  int16_t box[4];
  for (int i = 0; i < 4; ++i) {
    if (i) p.Expect(",", "between the dialog's position and size");
    box[i] = Coordinate(p, "the dialog's position and size");
  }
  uint32_t helpId = 0;
  if (extended && p.Accept(",")) helpId = static_cast<uint32_t>(p.Number("the dialog's help id"));

  bool styleGiven = false, captionGiven = false, fontGiven = false;
  Style style;
  uint32_t exStyle = 0;
  Field menu, klass, title;
  uint16_t pointSize = 0, weight = 0;
  uint8_t italic = 0, charset = 1;
  std::u16string face;
  for (;;) {
    if (p.AcceptWord("STYLE")) {
      style = p.StyleList();
      styleGiven = true;
    } else if (p.AcceptWord("EXSTYLE")) {
      exStyle = static_cast<uint32_t>(p.Number("the extended style"));
    } else if (p.AcceptWord("CAPTION")) {
      title = TextField(p.String("the caption"));
      captionGiven = true;
    } else if (p.AcceptWord("FONT")) {
      pointSize = static_cast<uint16_t>(p.Number("the font's size"));
      p.Expect(",", "after the font's size");
      face = p.String("the font's face");
      if (extended && p.Accept(",")) {
        weight = static_cast<uint16_t>(p.Number("the font's weight"));
        if (p.Accept(",")) italic = static_cast<uint8_t>(p.Number("the italic flag"));
        if (p.Accept(",")) charset = static_cast<uint8_t>(p.Number("the character set"));
      }
      fontGiven = true;
    } else if (p.AcceptWord("MENU")) {
      Id m = p.NameOrId("the dialog's menu");
      menu = m.named ? TextField(m.name) : OrdinalField(m.number);
    } else if (p.AcceptWord("CLASS")) {
      if (p.Peek().kind == Token::String) {
        klass = TextField(p.String("the dialog's class"));
      } else {
        klass = OrdinalField(static_cast<uint16_t>(p.Number("the dialog's class")));
      }
    } else if (p.AcceptWord("LANGUAGE")) {
      p.SetLanguage();
    } else if (p.AcceptWord("CHARACTERISTICS") || p.AcceptWord("VERSION")) {
      p.Number("the value");
    } else {
      break;
    }
  }
  uint32_t dialogStyle = styleGiven ? style.Over(0) : (WS_POPUP | WS_BORDER | WS_SYSMENU);
  if (captionGiven) dialogStyle |= WS_CAPTION;
  if (fontGiven) dialogStyle |= DS_SETFONT;

  std::vector<Control> controls;
  p.Begin("before the dialog's controls");
  while (!p.End()) controls.push_back(ParseControl(p, extended));
  if (controls.size() > 0xFFFF) p.Fail("a dialog holds at most 65535 controls");

  Bytes b;
  if (extended) {
    b.U16(1);
    b.U16(0xFFFF);
    b.U32(helpId);
    b.U32(exStyle);
    b.U32(dialogStyle);
  } else {
    b.U32(dialogStyle);
    b.U32(exStyle);
  }
  b.U16(static_cast<uint32_t>(controls.size()));
  for (int16_t v : box) b.U16(static_cast<uint16_t>(v));
  menu.Write(b);
  klass.Write(b);
  if (title.kind == Field::None) title = TextField(u"");  // the title is always a string
  title.Write(b);
  if (dialogStyle & DS_SETFONT) {
    b.U16(pointSize);
    if (extended) {
      b.U16(weight);
      b.U8(italic);
      b.U8(charset);
    }
    b.Text(face);
  }
  for (const Control& c : controls) {
    b.Align(4);
    if (extended) {
      b.U32(c.helpId);
      b.U32(c.exStyle);
      b.U32(c.style);
    } else {
      b.U32(c.style);
      b.U32(c.exStyle);
    }
    for (int16_t v : {c.x, c.y, c.cx, c.cy}) b.U16(static_cast<uint16_t>(v));
    if (extended) {
      b.U32(c.id);
    } else {
      b.U16(c.id & 0xFFFF);
    }
    c.klass.Write(b);
    c.title.Write(b);
    b.U16(0);  // no creation data
  }
  return b.data();
}

}  // namespace zb::rc
