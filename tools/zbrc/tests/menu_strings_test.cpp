// Menus, string tables and version information in the platform's layouts.
#include "compile_support.h"

namespace zb::rc::testing {
namespace {

TEST(MenuTest, ItemsPopupsSeparatorsAndEndMarks) {
  ScriptFolder folder;
  auto all = Compile(folder, R"(
134 MENU DISCARDABLE
BEGIN
    POPUP "&Menu"
    BEGIN
        MENUITEM "&Open", 40001, CHECKED
        MENUITEM SEPARATOR
        POPUP "Sub", GRAYED
        BEGIN
            MENUITEM "Deep", 40003
        END
    END
    MENUITEM "Exit", 40002, INACTIVE, HELP
END
)");
  const Resource* r = Find(all, NumberId(kRtMenu), NumberId(134));
  ASSERT_NE(r, nullptr);
  Expect e;
  e.W(0).W(0);
  e.W(0x10).S(u"&Menu");
  e.W(0x08).W(40001).S(u"&Open");
  e.W(0).W(0).W(0);
  e.W(0x10 | 0x01 | 0x80).S(u"Sub");
  e.W(0x80).W(40003).S(u"Deep");
  e.W(0x02 | 0x4000 | 0x80).W(40002).S(u"Exit");
  EXPECT_EQ(r->data, e.data());
}

TEST(StringTableTest, BlocksOfSixteenCountedStringsAcrossStatements) {
  ScriptFolder folder;
  auto all = Compile(folder, "STRINGTABLE\nBEGIN\n  117 \"Custom\"\n  118, \"Neutral\"\nEND\n"
                             "STRINGTABLE DISCARDABLE\nBEGIN\n  40107 \"OK\"\n  112 \"a\" \"b\"\nEND\n");
  const Resource* block = Find(all, NumberId(kRtString), NumberId(117 / 16 + 1));
  ASSERT_NE(block, nullptr);
  Expect e;
  for (int id = 112; id < 128; ++id) {
    std::u16string s = id == 117 ? u"Custom" : id == 118 ? u"Neutral" : id == 112 ? u"ab" : u"";
    e.W(static_cast<uint32_t>(s.size()));
    for (char16_t c : s) e.W(c);
  }
  EXPECT_EQ(block->data, e.data());
  const Resource* ok = Find(all, NumberId(kRtString), NumberId(40107 / 16 + 1));
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->data.size(), 16u * 2 + 4);  // fifteen empty strings and "OK"
}

TEST(VersionTest, FixedInformationAndTheStringAndTranslationBlocks) {
  ScriptFolder folder;
  auto all = Compile(folder, R"(
VS_VERSION_INFO VERSIONINFO
 FILEVERSION 3,5,0,12
 PRODUCTVERSION 3,5
 FILEFLAGSMASK 0x3fL
 FILEFLAGS 0
 FILEOS VOS_WINCE
 FILETYPE VFT_DLL
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904b0"
    BEGIN
      VALUE "FileVersion", "3.5.0.12"
      VALUE "ProductName", "Zonbrel"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x409, 1200
  END
END
)");
  const Resource* r = Find(all, NumberId(kRtVersion), NumberId(1));
  ASSERT_NE(r, nullptr);
  auto node = [](std::u16string_view key, uint32_t valueLength, bool text, const Bytes& value,
                 const std::vector<std::vector<uint8_t>>& children) {
    Expect n;
    n.W(0).W(valueLength).W(text ? 1 : 0).S(key).A4();
    n.Raw(value.data().data(), value.size());
    for (const auto& c : children) {
      n.A4();
      n.Raw(c.data(), c.size());
    }
    n.PutU16At(0, static_cast<uint32_t>(n.size()));
    return n.data();
  };
  Bytes none, fixed, fileVersion, productName, translation;
  for (uint32_t v : {0xFEEF04BDu, 0x00010000u, 0x00030005u, 0x0000000Cu, 0x00030005u, 0u, 0x3Fu, 0u, 0x00050000u, 2u, 0u, 0u, 0u})
    fixed.U32(v);
  fileVersion.Text(u"3.5.0.12");
  productName.Text(u"Zonbrel");
  translation.U16(0x409);
  translation.U16(1200);
  auto table = node(u"040904b0", 0, true, none,
                    {node(u"FileVersion", 9, true, fileVersion, {}), node(u"ProductName", 8, true, productName, {})});
  auto strings = node(u"StringFileInfo", 0, true, none, {table});
  auto vars = node(u"VarFileInfo", 0, true, none, {node(u"Translation", 4, false, translation, {})});
  EXPECT_EQ(r->data, node(u"VS_VERSION_INFO", 52, false, fixed, {strings, vars}));
}

}  // namespace
}  // namespace zb::rc::testing
