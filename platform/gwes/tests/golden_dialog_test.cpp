// The standard controls as the device shows them: one dialog with a label, single-line,
// multi-line and read-only edits, a check box, radio buttons in a group box, push, default and
// owner-drawn buttons, a list box, a drop-down list, an icon, a picture and a scroll bar, drawn
// headless and compared with the golden rendering kept in tests/golden, and taken again by
// zbdev screenshot.
#include "dialog_support.h"
#include "golden_support.h"
#include "standard_controls.h"

namespace {

using namespace dtest;
using namespace dtest::standard;

INT_PTR CALLBACK DrawingProc(HWND, UINT m, WPARAM, LPARAM l) {
  if (m == WM_INITDIALOG) return TRUE;
  if (m != WM_DRAWITEM) return FALSE;
  DrawOwnerDrawn(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
  return TRUE;
}

class GoldenDialogTest : public DialogTest {};

TEST_F(GoldenDialogTest, StandardControls) {
  const Template t = ControlsTemplate();
  HWND dialog = CreateDialogIndirectParamW(nullptr, t.get(), nullptr, DrawingProc, 0);
  ASSERT_NE(dialog, nullptr);
  const Images images;
  ASSERT_TRUE(FillControls(dialog, images));
  wtest::Pump();
  const auto golden = std::filesystem::path(GOLDEN_DIR) / "standard_controls.png";
  EXPECT_TRUE(golden::ScreenMatches(golden, std::filesystem::path(GOLDEN_SEEN_DIR) / "standard_controls.png"));
  // The device's own screenshot tool, another process, sees the same picture.
  const auto shot = device_.Host("shot.png");
  ASSERT_EQ(zb::testing::RunToEnd(ZBDEV_PATH, {"screenshot", shot.string()}), 0);
  const auto taken = zb::testing::ReadPng(shot);
  const auto kept = zb::testing::ReadPng(golden);
  ASSERT_TRUE(taken && kept);
  EXPECT_TRUE(taken->pixels == kept->pixels);
  DestroyWindow(dialog);
}

}  // namespace
