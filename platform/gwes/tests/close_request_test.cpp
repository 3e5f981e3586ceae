// Closing a program from outside: CloseProgram asks this process's main windows with WM_CLOSE
// (shown ones first, never children, owned windows or windows that never activate, never
// another process's), and a real program of the device closes that way on SIGINT and SIGTERM,
// or ends as before when it has nothing to close or ignored the first request.
#include <algorithm>
#include <csignal>

#include "gwes/close_request.h"
#include "screen_support.h"
#include "window_support.h"

namespace {

using namespace wtest;
using zb::testing::Child;
using namespace std::chrono_literals;

// The windows asked to close, each asked with `wParam`.
std::vector<HWND> Closed(WPARAM wParam = 0) {
  std::vector<HWND> asked;
  for (const Entry& e : TheTrace().Take()) {
    if (e.message != WM_CLOSE) continue;
    EXPECT_EQ(e.wParam, wParam) << e.hwnd;
    asked.push_back(e.hwnd);
  }
  std::sort(asked.begin(), asked.end());
  return asked;
}

std::vector<HWND> Sorted(std::vector<HWND> windows) {
  std::sort(windows.begin(), windows.end());
  return windows;
}

class CloseProgram : public WindowTest {};

TEST_F(CloseProgram, AsksTheShownMainWindowsAndDefaultHandlingDestroysThem) {
  HWND first = Make(WS_VISIBLE), second = Make(WS_VISIBLE), hidden = Make(0);
  HWND child = Make(WS_CHILD | WS_VISIBLE, first);
  HWND owned = Make(WS_POPUP | WS_VISIBLE, first);
  ASSERT_TRUE(first && second && hidden && child && owned);
  Pump();
  TheTrace().Take();

  ASSERT_TRUE(zb::wm::CloseProgram(zb::wm::CloseKind::kUser));
  Pump();
  EXPECT_EQ(Closed(), Sorted({first, second}));
  for (HWND gone : {first, second, child, owned}) EXPECT_FALSE(IsWindow(gone)) << gone;
  EXPECT_TRUE(IsWindow(hidden));
}

TEST_F(CloseProgram, AsksTheHiddenOnesWhenNoneIsShown) {
  HWND hidden = Make(0), other = Make(0);
  HWND owned = Make(WS_POPUP, hidden);
  ASSERT_TRUE(hidden && other && owned);
  Pump();
  TheTrace().Take();
  ASSERT_TRUE(zb::wm::CloseProgram(zb::wm::CloseKind::kUser));
  Pump();
  EXPECT_EQ(Closed(), Sorted({hidden, other}));
}

// The shell's bars live in the program here, shown and never active: a program started out of
// sight is still asked through its own hidden window.
TEST_F(CloseProgram, WindowsThatNeverActivateAreNoMainWindows) {
  HWND main = Make(0);
  HWND bar = Make(WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 240, 26}, kTraced, WS_EX_TOPMOST | WS_EX_NOACTIVATE);
  ASSERT_TRUE(main && bar);
  Pump();
  TheTrace().Take();
  ASSERT_TRUE(zb::wm::CloseProgram(zb::wm::CloseKind::kUser));
  Pump();
  EXPECT_EQ(Closed(), std::vector<HWND>{main});
  EXPECT_TRUE(IsWindow(bar));
  DestroyWindow(bar);
  EXPECT_FALSE(zb::wm::CloseProgram(zb::wm::CloseKind::kUser)) << "a bar alone is nothing to close";
}

TEST_F(CloseProgram, TheProgramsOwnExitIsAskedWithWParamOne) {
  HWND window = Make(WS_VISIBLE);
  ASSERT_TRUE(window);
  Pump();
  TheTrace().Take();
  ASSERT_TRUE(zb::wm::CloseProgram(zb::wm::CloseKind::kExit));
  Pump();
  EXPECT_EQ(Closed(1), std::vector<HWND>{window});
}

TEST_F(CloseProgram, FailsWhenTheProgramHasNoWindowLeft) {
  EXPECT_FALSE(zb::wm::CloseProgram(zb::wm::CloseKind::kUser));
  HWND window = Make(WS_VISIBLE);
  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_FALSE(zb::wm::CloseProgram(zb::wm::CloseKind::kUser));
}

// A real program of the device (screen_probe, headless) signalled from outside.
class CloseOnSignals : public WindowTest {
 protected:
  std::unique_ptr<Child> Probe(const char* how) {
    auto probe = std::make_unique<Child>(SCREEN_PROBE_PATH, std::vector<std::string>{how},
                                         std::vector<std::string>{"ZONBREL_DISPLAY=none"});
    EXPECT_EQ(probe->ReadLine(), "presenting no");  // its window is made, and the signals armed
    return probe;
  }
};

constexpr int kSignals[] = {SIGINT, SIGTERM};

TEST_F(CloseOnSignals, ASignalClosesTheProgramThroughItsWindowAndItEndsByItself) {
  HWND mine = Make(WS_VISIBLE);  // a window of this process on the same device: not asked
  for (int signal : kSignals) {
    SCOPED_TRACE(signal);
    auto probe = Probe("present-unhooked");
    probe->Signal(signal);
    EXPECT_EQ(probe->ReadLine(), "WM_CLOSE 1") << "the program's own Exit";
    EXPECT_EQ(probe->Wait(), 0);
  }
  Pump();
  EXPECT_EQ(Closed(), std::vector<HWND>{});
  EXPECT_TRUE(IsWindow(mine));
}

TEST_F(CloseOnSignals, AProgramThatKeepsRunningIsEndedByTheNextSignal) {
  for (int signal : kSignals) {
    SCOPED_TRACE(signal);
    auto probe = Probe("present-stubborn");
    probe->Signal(signal);
    EXPECT_EQ(probe->ReadLine(), "WM_CLOSE 1") << "the program's own Exit";
    probe->Signal(signal);
    EXPECT_EQ(probe->Wait(20s, true), 128 + signal);
  }
}

TEST_F(CloseOnSignals, AProgramWithNoWindowLeftEndsAsBefore) {
  for (int signal : kSignals) {
    SCOPED_TRACE(signal);
    auto probe = Probe("windowless");
    probe->Signal(signal);
    EXPECT_EQ(probe->Wait(20s, true), 128 + signal);
    EXPECT_EQ(probe->ReadLine(std::chrono::milliseconds(0)), std::nullopt) << "nothing was asked to close";
  }
}

}  // namespace
