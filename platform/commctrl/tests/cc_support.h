// Support for the common-control tests: the window tests' device, pumping and input, a parent
// window that records every WM_NOTIFY (code, item and what the code carries) and answers what
// the test says, and the common controls registered for the process.
#pragma once
#include <aygshell.h>
#include <commctrl.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "gwes/tests/control_support.h"

namespace cctest {

struct Heard {
  UINT code;
  int item = -1;      // the list item, tree item's lParam, or the custom-draw stage
  UINT oldState = 0, newState = 0;
  DWORD_PTR spec = 0;  // custom draw's item, or the gesture's item
  POINT at{0, 0};
};

inline std::vector<Heard>& Log() {
  static std::vector<Heard> log;
  return log;
}

inline std::function<LRESULT(NMHDR*)>& Answer() {
  static std::function<LRESULT(NMHDR*)> answer;
  return answer;
}

inline Heard Read(NMHDR* h) {
  Heard heard{h->code};
  switch (static_cast<int>(h->code)) {
    case static_cast<int>(LVN_ITEMCHANGING):
    case static_cast<int>(LVN_ITEMCHANGED):
    case static_cast<int>(LVN_INSERTITEM):
    case static_cast<int>(LVN_DELETEITEM):
    case static_cast<int>(LVN_BEGINDRAG):
    case static_cast<int>(LVN_COLUMNCLICK): {
      auto* n = reinterpret_cast<NMLISTVIEW*>(h);
      heard.item = n->iItem >= 0 ? n->iItem : n->iSubItem;
      heard.oldState = n->uOldState;
      heard.newState = n->uNewState;
      heard.at = n->ptAction;
      break;
    }
    case static_cast<int>(NM_CLICK):
    case static_cast<int>(NM_DBLCLK):
    case static_cast<int>(LVN_ITEMACTIVATE): {
      char16_t name[32] = {};
      GetClassNameW(h->hwndFrom, name, 32);
      if (std::u16string(name) == WC_LISTVIEWW) heard.item = reinterpret_cast<NMITEMACTIVATE*>(h)->iItem;
      break;
    }
    case static_cast<int>(LVN_KEYDOWN): heard.item = reinterpret_cast<NMLVKEYDOWN*>(h)->wVKey; break;
    case static_cast<int>(TVN_KEYDOWN): heard.item = reinterpret_cast<NMTVKEYDOWN*>(h)->wVKey; break;
    case static_cast<int>(NM_CUSTOMDRAW): {
      auto* cd = reinterpret_cast<NMCUSTOMDRAW*>(h);
      heard.item = static_cast<int>(cd->dwDrawStage);
      heard.spec = cd->dwItemSpec;
      heard.newState = cd->uItemState;
      break;
    }
    case static_cast<int>(TVN_SELCHANGINGW):
    case static_cast<int>(TVN_SELCHANGEDW):
    case static_cast<int>(TVN_ITEMEXPANDINGW):
    case static_cast<int>(TVN_ITEMEXPANDEDW):
    case static_cast<int>(TVN_DELETEITEMW): {
      auto* n = reinterpret_cast<NMTREEVIEWW*>(h);
      const bool deleting = h->code == TVN_DELETEITEMW;
      heard.item = static_cast<int>(deleting ? n->itemOld.lParam : n->itemNew.lParam);
      heard.oldState = n->action;
      break;
    }
    case GN_CONTEXTMENU:
    case static_cast<int>(NM_RECOGNIZEGESTURE): {
      auto* n = reinterpret_cast<NMRGINFO*>(h);
      heard.spec = n->dwItemSpec;
      heard.at = n->ptAction;
      break;
    }
    default: break;
  }
  return heard;
}

inline LRESULT CALLBACK Parent(HWND hwnd, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_NOTIFY: {
      auto* h = reinterpret_cast<NMHDR*>(l);
      Log().push_back(Read(h));
      return Answer() ? Answer()(h) : 0;
    }
    case WM_DRAWITEM: {
      const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
      Log().push_back({WM_DRAWITEM, static_cast<int>(d->itemID), 0, d->itemState, d->itemData});
      return TRUE;
    }
    case WM_MEASUREITEM:
      reinterpret_cast<MEASUREITEMSTRUCT*>(l)->itemHeight = 30;
      Log().push_back({WM_MEASUREITEM});
      return TRUE;
    case WM_HSCROLL:
    case WM_VSCROLL:
      Log().push_back({m, static_cast<int>(static_cast<SHORT>(HIWORD(w))), LOWORD(w), 0, static_cast<DWORD_PTR>(l)});
      return 0;
    default:
      return ctest::ParentProc(hwnd, m, w, l);
  }
}

// Codes heard, in order, leaving out custom draw.
inline std::vector<UINT> NotifyCodes() {
  std::vector<UINT> out;
  for (const Heard& h : Log())
    if (h.code != NM_CUSTOMDRAW) out.push_back(h.code);
  return out;
}

inline std::vector<Heard> Only(UINT code) {
  std::vector<Heard> out;
  for (const Heard& h : Log())
    if (h.code == code) out.push_back(h);
  return out;
}

// Pumps this thread until `done` holds; false after `limit`, so a test fails instead of hanging.
template <class Done>
bool PumpUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    wtest::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

class CommonControlTest : public ctest::ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    INITCOMMONCONTROLSEX init{sizeof init, 0x43F};
    ASSERT_TRUE(InitCommonControlsEx(&init));
    SetWindowLongW(parent_, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Parent));
    Log().clear();
    Answer() = nullptr;
  }
  void TearDown() override {
    Answer() = nullptr;
    Log().clear();
    ControlTest::TearDown();
  }
};

}  // namespace cctest
