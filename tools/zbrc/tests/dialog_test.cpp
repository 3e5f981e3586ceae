// Dialog templates byte for byte: DIALOGEX with its font record and 32-bit ids, each control
// statement's class and default style, NOT taking bits away, ordinal titles and named classes.
#include "compile_support.h"

namespace zb::rc::testing {
namespace {

TEST(DialogTest, DialogExMatchesTheExtendedTemplate) {
  ScriptFolder folder;
  auto all = Compile(folder, R"(
#define IDD_TAGS 105
IDD_TAGS DIALOGEX 0, 0, 160, 100, 77
STYLE DS_SETFONT | WS_POPUP | WS_CAPTION
EXSTYLE WS_EX_CAPTIONOKBTN
CAPTION "Tags"
FONT 9, "Tahoma", 700, 1, 0
MENU 168
BEGIN
    CONTROL "", 70000, WC_LISTVIEW, LVS_REPORT | WS_BORDER, 0, 0, 160, 80, WS_EX_CLIENTEDGE, 9
    PUSHBUTTON "&Art", 2, 10, 84, 40, 12
END
)");
  const Resource* r = Find(all, NumberId(kRtDialog), NumberId(105));
  ASSERT_NE(r, nullptr);
  Expect e;
  e.W(1).W(0xFFFF).D(77).D(0x80000000).D(0x80C00040).W(2).W(0).W(0).W(160).W(100);
  e.W(0xFFFF).W(168).W(0).S(u"Tags");
  e.W(9).W(700);
  e.U8(1);
  e.U8(0);
  e.S(u"Tahoma");
  e.A4().D(9).D(0x200).D(0x50000000 | 0x800000 | 1).W(0).W(0).W(160).W(80).D(70000).S(u"SysListView32").S(u"").W(0);
  e.A4().D(0).D(0).D(0x50010000).W(10).W(84).W(40).W(12).D(2).W(0xFFFF).W(0x80).S(u"&Art").W(0);
  EXPECT_EQ(r->data, e.data());
}

struct DefaultStyle {
  const char* statement;
  uint16_t atom;
  uint32_t style;
};

// Every control statement gets WS_CHILD | WS_VISIBLE and its own defaults.
const DefaultStyle kDefaults[] = {
    {"LTEXT \"t\", 1, 0, 0, 10, 10", 0x82, 0x50020000},
    {"RTEXT \"t\", 1, 0, 0, 10, 10", 0x82, 0x50020002},
    {"CTEXT \"t\", 1, 0, 0, 10, 10", 0x82, 0x50020001},
    {"PUSHBUTTON \"t\", 1, 0, 0, 10, 10", 0x80, 0x50010000},
    {"DEFPUSHBUTTON \"t\", 1, 0, 0, 10, 10", 0x80, 0x50010001},
    {"CHECKBOX \"t\", 1, 0, 0, 10, 10", 0x80, 0x50010002},
    {"AUTOCHECKBOX \"t\", 1, 0, 0, 10, 10", 0x80, 0x50010003},
    {"RADIOBUTTON \"t\", 1, 0, 0, 10, 10", 0x80, 0x50010004},
    {"AUTORADIOBUTTON \"t\", 1, 0, 0, 10, 10", 0x80, 0x50010009},
    {"GROUPBOX \"t\", 1, 0, 0, 10, 10", 0x80, 0x50000007},
    {"EDITTEXT 1, 0, 0, 10, 10", 0x81, 0x50810000},
    {"LISTBOX 1, 0, 0, 10, 10", 0x83, 0x50800001},
    {"COMBOBOX 1, 0, 0, 10, 10", 0x85, 0x50010001},
    {"SCROLLBAR 1, 0, 0, 10, 10", 0x84, 0x50000000},
    {"EDITTEXT 1, 0, 0, 10, 10, ES_MULTILINE | NOT WS_BORDER", 0x81, 0x50010004},
    {"LTEXT \"t\", 1, 0, 0, 10, 10, NOT WS_GROUP | SS_NOPREFIX", 0x82, 0x50000080},
    {"CONTROL \"t\", 1, \"Button\", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 0, 10, 10", 0x80, 0x50010003},
    {"CONTROL \"t\", 1, STATIC, SS_CENTER | NOT WS_VISIBLE, 0, 0, 10, 10", 0x82, 0x40000001},
};

TEST(DialogTest, ControlStatementsCarryTheirClassAndDefaultStyle) {
  for (const DefaultStyle& d : kDefaults) {
    ScriptFolder folder;
    auto all = Compile(folder, std::string("1 DIALOG 0, 0, 50, 50\nBEGIN\n") + d.statement + "\nEND\n");
    const Resource* r = Find(all, NumberId(kRtDialog), NumberId(1));
    ASSERT_NE(r, nullptr) << d.statement;
    // No STYLE, CAPTION or FONT: the header is 18 bytes and three empty fields, 24 in all.
    ASSERT_GE(r->data.size(), 24u + 18u) << d.statement;
    const uint8_t* item = r->data.data() + 24;
    uint32_t style = item[0] | item[1] << 8 | item[2] << 16 | static_cast<uint32_t>(item[3]) << 24;
    EXPECT_EQ(style, d.style) << d.statement;
    EXPECT_EQ(item[18] | item[19] << 8, 0xFFFF) << d.statement;
    EXPECT_EQ(item[20] | item[21] << 8, d.atom) << d.statement;
  }
}

TEST(DialogTest, IconControlsHaveOptionalSizeAndOrdinalTitles) {
  ScriptFolder folder;
  auto all = Compile(folder, "#define IDI_APP 105\n2 DIALOG 0, 0, 50, 50\nSTYLE WS_CHILD\nBEGIN\n"
                             "ICON IDI_APP, 7, 3, 4\nICON \"named\", 8, 3, 4, 20, 20, SS_CENTERIMAGE\nEND\n");
  const Resource* r = Find(all, NumberId(kRtDialog), NumberId(2));
  ASSERT_NE(r, nullptr);
  Expect e;
  e.D(0x40000000).D(0).W(2).W(0).W(0).W(50).W(50).W(0).W(0).W(0);
  e.A4().D(0x50000003).D(0).W(3).W(4).W(0).W(0).W(7).W(0xFFFF).W(0x82).W(0xFFFF).W(105).W(0);
  e.A4().D(0x50000203).D(0).W(3).W(4).W(20).W(20).W(8).W(0xFFFF).W(0x82).S(u"named").W(0);
  EXPECT_EQ(r->data, e.data());
}

}  // namespace
}  // namespace zb::rc::testing
