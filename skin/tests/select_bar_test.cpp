// The select bar at 96 and 192 dots per inch: its height and font follow the screen, it renders
// as the goldens a person looked at (ZB_UPDATE_GOLDENS=1 writes them), and taps and keys reach
// its parent as the menu request or, when the parent offers no menu, as a command.
#include "skin/select_bar.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "gwes/screen_picture.h"
#include "skin_test_support.h"

namespace zb::testing {
namespace {

const std::filesystem::path kGoldens = std::filesystem::path(ZB_SKIN_SOURCE_DIR) / "tests" / "goldens";

struct Heard {
  std::vector<int> menuRequests;  // button index of each request
  std::vector<int> statesAtRequest;
  int commands = 0;
  CSelectBar* bar = nullptr;
};
Heard g_heard;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const auto* n = reinterpret_cast<const NMSELECTBARMENU*>(lParam);
    if (static_cast<int>(n->hdr.code) == kSelectBarMenuNotify) {
      g_heard.menuRequests.push_back(n->button);
      if (g_heard.bar) g_heard.statesAtRequest.push_back(g_heard.bar->GetButtonState(n->button));
      return 0;  // no menu: the bar sends its command instead
    }
  }
  if (message == WM_COMMAND && lParam) ++g_heard.commands;
  return DefWindowProcW(window, message, wParam, lParam);
}

class SelectBar : public SkinTest {
 protected:
  void Open(int dpi) {
    device_.WriteProfile("[screen]\nwidth = 240\nheight = 320\ndpi = " + std::to_string(dpi) + "\n");
    WNDCLASSW wc{};
    wc.lpfnWndProc = ParentProc;
    wc.lpszClassName = u"SelectBarParent";
    RegisterClassW(&wc);
    parent_ = CreateWindowExW(0, u"SelectBarParent", u"", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    bar_ = std::make_unique<CSelectBar>(parent_, 0, parent_);
    ASSERT_NE(bar_->GetWindow(), nullptr);
    g_heard = Heard{};
    g_heard.bar = bar_.get();
    bar_->SetButtonText(0, u"Play", 0);
    bar_->SetButtonText(1, u"Menu", 0);
  }
  void TearDown() override {
    g_heard.bar = nullptr;
    bar_.reset();
    if (parent_) DestroyWindow(parent_);
    parent_ = nullptr;
  }
  void Send(UINT message, int x, int y) { SendMessageW(bar_->GetWindow(), message, 0, MAKELPARAM(x, y)); }

  // The bar as it shows on the screen.
  zb::screen::Picture Shot() {
    HWND w = bar_->GetWindow();
    UpdateWindow(w);
    RECT r;
    GetClientRect(w, &r);
    HDC dc = GetDC(w);
    zb::screen::Picture p;
    p.width = r.right;
    p.height = r.bottom;
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        p.pixels.push_back((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
      }
    ReleaseDC(w, dc);
    return p;
  }

  HWND parent_ = nullptr;
  std::unique_ptr<CSelectBar> bar_;
};

std::string Bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

struct DpiCase {
  int dpi;
  int height;
  int fontHeight;
  const char* golden;
};

TEST_F(SelectBar, SizesAndLooksFollowTheDpi) {
  for (const DpiCase& c : {DpiCase{96, 23, 11, "select-bar-96.png"}, DpiCase{192, 46, 22, "select-bar-192.png"}}) {
    SCOPED_TRACE(c.dpi);
    Open(c.dpi);
    const SIZE size = bar_->GetBarSize(1);
    EXPECT_EQ(size.cx, 240);
    EXPECT_EQ(size.cy, c.height);
    EXPECT_EQ(bar_->GetBarSizeFor(1).cy, c.height);
    EXPECT_EQ(bar_->GetBarSize(0).cx, 0);
    EXPECT_EQ(bar_->GetBarSize(0).cy, 0);
    LOGFONTW lf{};
    ASSERT_TRUE(GetObjectW(bar_->GetFont(), sizeof lf, &lf));
    EXPECT_EQ(std::abs(lf.lfHeight), c.fontHeight);
    EXPECT_EQ(lf.lfWeight, 700);
    RECT r;
    GetWindowRect(bar_->GetWindow(), &r);
    EXPECT_EQ(r.bottom - r.top, c.height);

    const std::filesystem::path shot = device_.Host(c.golden), golden = kGoldens / c.golden;
    ASSERT_TRUE(zb::screen::WritePng(Shot(), shot));
    if (std::getenv("ZB_UPDATE_GOLDENS")) std::filesystem::copy_file(shot, golden, std::filesystem::copy_options::overwrite_existing);
    EXPECT_TRUE(Bytes(shot) == Bytes(golden)) << "look at " << shot << " and " << golden;
    TearDown();
  }
}

TEST_F(SelectBar, ATapAsksTheParentForAMenuAndFallsBackToACommand) {
  Open(96);
  // The button, away from its arrow: pressed on the tap, the menu asked for on the release.
  Send(WM_LBUTTONDOWN, 180, 10);
  EXPECT_EQ(bar_->GetButtonState(1), CSelectBar::kPressed);
  EXPECT_TRUE(g_heard.menuRequests.empty());
  Send(WM_LBUTTONUP, 180, 10);
  EXPECT_EQ(g_heard.menuRequests, std::vector<int>{1});
  EXPECT_EQ(g_heard.statesAtRequest, std::vector<int>{CSelectBar::kMenuAfterRelease});
  EXPECT_EQ(g_heard.commands, 1);
  EXPECT_EQ(bar_->GetButtonState(1), CSelectBar::kNormal);

  // A release outside the pressed button opens nothing.
  Send(WM_LBUTTONDOWN, 100, 10);
  Send(WM_LBUTTONUP, 200, 10);
  EXPECT_EQ(g_heard.menuRequests.size(), 1u);
  EXPECT_EQ(bar_->GetButtonState(0), CSelectBar::kNormal);

  // The arrow at the bar's left edge opens the menu at once, on the tap.
  Send(WM_LBUTTONDOWN, 3, 10);
  EXPECT_EQ(g_heard.menuRequests, (std::vector<int>{1, 0}));
  EXPECT_EQ(g_heard.statesAtRequest.back(), CSelectBar::kMenuAtOnce);
  Send(WM_LBUTTONUP, 3, 10);

  bar_->ClickButton(1);
  EXPECT_EQ(g_heard.menuRequests.back(), 1);
  EXPECT_EQ(g_heard.commands, 3);
}

TEST_F(SelectBar, KeysMoveTheFocusAndEnterTapsIt) {
  Open(96);
  HWND w = bar_->GetWindow();
  SendMessageW(w, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(bar_->GetFocusedButton(), 1);
  MSG right{w, WM_KEYDOWN, VK_RIGHT, 0, 0, {}}, left{w, WM_KEYDOWN, VK_LEFT, 0, 0, {}};
  EXPECT_EQ(SendMessageW(w, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&right)), 0) << "the focus can't move right";
  EXPECT_NE(SendMessageW(w, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&left)) & DLGC_WANTARROWS, 0);
  SendMessageW(w, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(g_heard.menuRequests, std::vector<int>{1});
  SendMessageW(w, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(bar_->GetFocusedButton(), 0);
}

TEST_F(SelectBar, AButtonWithoutTextOrMenuIgnoresTaps) {
  Open(96);
  bar_->SetButtonText(1, u"", 0);
  Send(WM_LBUTTONDOWN, 180, 10);
  Send(WM_LBUTTONUP, 180, 10);
  EXPECT_TRUE(g_heard.menuRequests.empty());
  EXPECT_EQ(bar_->GetButtonState(1), CSelectBar::kNormal);
}

}  // namespace
}  // namespace zb::testing
