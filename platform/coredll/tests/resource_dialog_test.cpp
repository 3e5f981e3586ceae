// Dialog templates loaded from the program's resources match, byte for byte, templates built
// here by hand from the platform's DLGTEMPLATE and DLGTEMPLATEEX layouts.
#include "resource_support.h"

namespace zb::res::testing {
namespace {

using ResourceDialogTest = ResourceTest;

TEST_F(ResourceDialogTest, DialogMatchesAHandBuiltTemplate) {
  Built t;
  t.D(0x80C000C0).D(0).W(2).W(0).W(0).W(120).W(60);  // DS_MODALFRAME|WS_POPUP|WS_CAPTION|DS_SETFONT
  t.W(0).W(0).S(u"About").W(8).S(u"System");
  t.A4().D(0x50020000).D(0).W(5).W(5).W(110).W(8).W(IDC_TITLE).W(0xFFFF).W(0x0082).S(u"Zonbrel").W(0);
  t.A4().D(0x50010001).D(0).W(35).W(40).W(50).W(14).W(1 /* IDOK */).W(0xFFFF).W(0x0080).S(u"OK").W(0);
  EXPECT_EQ(Bytes(nullptr, MAKEINTRESOURCEW(IDD_ABOUT), RT_DIALOG), t.bytes);

  // And read through the platform's record, as the dialog code does.
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDD_ABOUT), RT_DIALOG);
  auto* dialog = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, found)));
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(dialog) % 4, 0u) << "templates start 4-byte aligned";
  EXPECT_EQ(dialog->style, 0x80C000C0u);
  EXPECT_EQ(dialog->cdit, 2);
  EXPECT_EQ(dialog->cx, 120);
  EXPECT_EQ(sizeof(DLGTEMPLATE), 18u);
}

TEST_F(ResourceDialogTest, DialogExMatchesAHandBuiltExtendedTemplate) {
  Built t;
  t.W(1).W(0xFFFF).D(0).D(0).D(0x50000040).W(1).W(0).W(0).W(160).W(100);
  t.W(0).W(0).S(u"");
  t.W(8).W(0).B(0).B(1).S(u"Tahoma");
  t.A4().D(0).D(0x200).D(0x50000001).W(0).W(0).W(160).W(100).D(IDC_LIST).S(u"SysListView32").S(u"").W(0);
  EXPECT_EQ(Bytes(nullptr, MAKEINTRESOURCEW(IDD_TAGS), RT_DIALOG), t.bytes);
}

}  // namespace
}  // namespace zb::res::testing
