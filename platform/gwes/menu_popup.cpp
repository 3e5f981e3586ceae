// TrackPopupMenuEx: the owner is told WM_INITMENUPOPUP, then the popup shows as a window of its
// own (items in the system font, checks on the left, submenus opening beside their item) and a
// loop of its own takes the stylus and keys until an item is chosen or the popup dismissed. The
// answer is the command (TPM_RETURNCMD) or a WM_COMMAND posted to the owner. A scripted answer
// skips the showing; either way the popup is recorded for tests.
#include "gwes/menu_popup.h"

#include <algorithm>
#include <deque>
#include <mutex>

#include "gwes/ctl_common.h"
#include "gwes/gdi_host.h"
#include "gwes/menu_store.h"

namespace zb::wm {
namespace {

constexpr char16_t kPopupClass[] = u"ZbPopupMenu";
constexpr UINT kNoCommand = 0xFFFFFFFF;

struct Record {
  std::mutex lock;
  std::deque<UINT> script;
  std::vector<ShownPopupMenu> shown;
};

Record& Records() {
  static Record* record = new Record;
  return *record;
}

struct Level {
  HMENU menu = nullptr;
  std::vector<MenuItem> items;
  std::vector<RECT> rows;  // in the level window's client area
  HWND window = nullptr;
  int hot = -1;
};

struct Tracking {
  std::vector<Level> levels;
  HWND owner = nullptr;
  bool done = false;
  UINT answer = 0;
};

thread_local Tracking* t_tracking = nullptr;

int RowHeight(bool separator) { return separator ? Scaled(7) : Scaled(22); }

void Measure(Level& level, int* width, int* height) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
  int w = Scaled(60), y = Scaled(2);
  level.rows.clear();
  for (const MenuItem& item : level.items) {
    const int h = RowHeight(item.separator());
    level.rows.push_back(RECT{0, y, 0, y + h});
    y += h;
    if (item.separator()) continue;
    SIZE size{0, 0};
    std::u16string shown = item.text;
    shown.erase(std::remove(shown.begin(), shown.end(), u'&'), shown.end());
    GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    w = std::max<int>(w, size.cx + Scaled(20) + Scaled(18));
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  for (RECT& r : level.rows) {
    r.left = Scaled(1);
    r.right = w - Scaled(1);
  }
  *width = w;
  *height = y + Scaled(2);
}

void PaintLevel(HWND hwnd, const Level& level) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd, &client);
  Fill(dc, client, GetSysColor(COLOR_MENU));
  Frame(dc, client, GetSysColor(COLOR_WINDOWFRAME));
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  SetBkMode(dc, TRANSPARENT);
  for (size_t i = 0; i < level.items.size(); ++i) {
    const MenuItem& item = level.items[i];
    const RECT row = level.rows[i];
    if (item.separator()) {
      const int mid = (row.top + row.bottom) / 2;
      Fill(dc, RECT{row.left + Scaled(2), mid, row.right - Scaled(2), mid + 1}, GetSysColor(COLOR_GRAYTEXT));
      continue;
    }
    const bool hot = static_cast<int>(i) == level.hot && item.enabled();
    if (hot) Fill(dc, row, GetSysColor(COLOR_HIGHLIGHT));
    const COLORREF ink = !item.enabled() ? GetSysColor(COLOR_GRAYTEXT)
                         : hot           ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                         : GetSysColor(COLOR_MENUTEXT);
    SetTextColor(dc, ink);
    if (item.state & MF_CHECKED) {
      RECT mark{row.left, row.top, row.left + Scaled(18), row.bottom};
      if (item.type & MFT_RADIOCHECK) {
        const int cx = (mark.left + mark.right) / 2, cy = (mark.top + mark.bottom) / 2, r = Scaled(3);
        Fill(dc, RECT{cx - r, cy - r, cx + r, cy + r}, ink);
      } else {
        const int cx = (mark.left + mark.right) / 2, cy = (mark.top + mark.bottom) / 2, r = Scaled(4);
        const POINT tick[3] = {{cx - r, cy}, {cx - r / 3, cy + r * 2 / 3}, {cx + r, cy - r * 2 / 3}};
        HPEN pen = CreatePen(PS_SOLID, Scaled(2), ink);
        HGDIOBJ old = SelectObject(dc, pen);
        Polyline(dc, tick, 3);
        SelectObject(dc, old);
        DeleteObject(pen);
      }
    }
    RECT text{row.left + Scaled(20), row.top, row.right - Scaled(14), row.bottom};
    DrawTextW(dc, item.text.c_str(), static_cast<int>(item.text.size()), &text, DT_SINGLELINE | DT_VCENTER);
    if (item.submenu) SideArrow(dc, RECT{row.right - Scaled(14), row.top, row.right, row.bottom}, true, ink);
  }
  EndPaint(hwnd, &ps);
}

Level* LevelOf(HWND hwnd) {
  if (!t_tracking) return nullptr;
  for (Level& l : t_tracking->levels)
    if (l.window == hwnd) return &l;
  return nullptr;
}

LRESULT CALLBACK PopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      if (Level* level = LevelOf(hwnd)) {
        PaintLevel(hwnd, *level);
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      return 1;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterPopupClass() {
  WNDCLASSW existing;
  if (GetClassInfoW(nullptr, kPopupClass, &existing)) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = PopupProc;
  wc.lpszClassName = kPopupClass;
  RegisterClassW(&wc);
}

// Opens a level for `menu` at a screen point, aligned as `flags` ask and kept on the screen.
bool Open(Tracking& t, HMENU menu, POINT at, UINT flags, int parentItem) {
  SendMessageW(t.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(std::max(parentItem, 0), 0));
  Level level;
  level.menu = menu;
  if (!MenuItems(menu, &level.items) || level.items.empty()) return false;
  int width, height;
  Measure(level, &width, &height);
  const gdi::ScreenMode screen = gdi::CurrentScreenMode();
  int x = at.x, y = at.y;
  if (flags & TPM_RIGHTALIGN) x -= width;
  else if (flags & TPM_CENTERALIGN) x -= width / 2;
  if (flags & TPM_BOTTOMALIGN) y -= height;
  else if (flags & TPM_VCENTERALIGN) y -= height / 2;
  if (y + height > screen.height) y = std::max(screen.height - height, 0);
  if (x + width > screen.width) x = std::max(screen.width - width, 0);
  x = std::max(x, 0);
  y = std::max(y, 0);
  level.window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kPopupClass, u"", WS_POPUP, x, y, width, height,
                                 t.owner, nullptr, nullptr, nullptr);
  if (!level.window) return false;
  t.levels.push_back(std::move(level));
  ShowWindow(t.levels.back().window, SW_SHOWNA);
  UpdateWindow(t.levels.back().window);
  return true;
}

void CloseDeepest(Tracking& t) {
  if (t.levels.empty()) return;
  DestroyWindow(t.levels.back().window);
  t.levels.pop_back();
  if (t.levels.empty()) t.done = true;
}

void SetHot(Level& level, int hot) {
  if (level.hot == hot) return;
  level.hot = hot;
  InvalidateRect(level.window, nullptr, TRUE);
}

// Opens the hot item's submenu, or chooses its command.
void Activate(Tracking& t, size_t depth) {
  Level& level = t.levels[depth];
  if (level.hot < 0) return;
  const MenuItem& item = level.items[level.hot];
  if (!item.enabled() || item.separator()) return;
  if (item.submenu) {
    while (t.levels.size() > depth + 1) CloseDeepest(t);
    RECT r;
    GetWindowRect(level.window, &r);
    const RECT row = t.levels[depth].rows[level.hot];
    Open(t, item.submenu, POINT{r.right - Scaled(4), r.top + row.top}, TPM_LEFTALIGN, level.hot);
    return;
  }
  t.answer = item.id;
  t.done = true;
}

// The level and item under a screen point; false when it is on no level.
bool HitTest(Tracking& t, POINT screen, size_t* depth, int* item) {
  for (size_t d = t.levels.size(); d-- > 0;) {
    RECT r;
    GetWindowRect(t.levels[d].window, &r);
    if (!PtInRect(&r, screen)) continue;
    *depth = d;
    *item = -1;
    POINT p{screen.x - r.left, screen.y - r.top};
    for (size_t i = 0; i < t.levels[d].rows.size(); ++i)
      if (PtInRect(&t.levels[d].rows[i], p)) *item = static_cast<int>(i);
    return true;
  }
  return false;
}

void Step(Level& level, int direction) {
  const int n = static_cast<int>(level.items.size());
  int i = level.hot;
  for (int k = 0; k < n; ++k) {
    i = i < 0 ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n;
    if (!level.items[i].separator()) {
      SetHot(level, i);
      return;
    }
  }
}

void Input(Tracking& t, const MSG& msg) {
  switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
      size_t depth;
      int item;
      if (!HitTest(t, msg.pt, &depth, &item)) {
        if (msg.message == WM_LBUTTONDOWN) t.done = true;  // a tap elsewhere dismisses
        return;
      }
      SetHot(t.levels[depth], item);
      if (item >= 0 && msg.message == WM_LBUTTONUP) Activate(t, depth);
      else if (item >= 0 && msg.message == WM_LBUTTONDOWN && t.levels[depth].items[item].submenu) Activate(t, depth);
      return;
    }
    case WM_KEYDOWN: {
      Level& deepest = t.levels.back();
      switch (msg.wParam) {
        case VK_UP: Step(deepest, -1); break;
        case VK_DOWN: Step(deepest, 1); break;
        case VK_RIGHT:
          if (deepest.hot >= 0 && deepest.items[deepest.hot].submenu) Activate(t, t.levels.size() - 1);
          break;
        case VK_RETURN: Activate(t, t.levels.size() - 1); break;
        case VK_LEFT:
          if (t.levels.size() > 1) CloseDeepest(t);
          break;
        case VK_ESCAPE: CloseDeepest(t); break;
        default: break;
      }
      return;
    }
    default:
      return;
  }
}

bool IsInput(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

UINT Show(HMENU menu, UINT flags, POINT at, HWND owner) {
  RegisterPopupClass();
  Tracking t;
  t.owner = owner;
  t_tracking = &t;
  if (!Open(t, menu, at, flags, 0)) {
    t_tracking = nullptr;
    return 0;
  }
  SetCapture(t.levels.front().window);
  MSG msg;
  bool quit = false;
  int quitCode = 0;
  while (!t.done) {
    const BOOL r = GetMessageW(&msg, nullptr, 0, 0);
    if (r <= 0) {
      quit = r == 0;
      quitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (IsInput(msg.message)) {
      Input(t, msg);
    } else {
      DispatchMessageW(&msg);
    }
  }
  ReleaseCapture();
  while (!t.levels.empty()) {
    DestroyWindow(t.levels.back().window);
    t.levels.pop_back();
  }
  t_tracking = nullptr;
  if (quit) PostQuitMessage(quitCode);
  return t.answer;
}

// What a scripted answer comes to: the command when the menu has it enabled, else dismissal.
UINT Scripted(HMENU menu, UINT command) {
  if (!command) return 0;
  const UINT state = GetMenuState(menu, command, MF_BYCOMMAND);
  if (state == 0xFFFFFFFF || (state & (MF_GRAYED | MF_DISABLED)) || (state & MF_POPUP)) return 0;
  return command;
}

void Remember(HMENU menu, UINT flags, POINT at, UINT answer) {
  ShownPopupMenu shown;
  std::vector<MenuItem> items;
  MenuItems(menu, &items);
  for (const MenuItem& item : items) {
    shown.texts.push_back(item.text);
    shown.ids.push_back(item.submenu ? kNoCommand : item.id);
    shown.states.push_back(item.state);
  }
  shown.at = at;
  shown.flags = flags;
  shown.answer = answer;
  Record& r = Records();
  std::lock_guard lock(r.lock);
  r.shown.push_back(std::move(shown));
}

}  // namespace

void ScriptPopupMenu(UINT command) {
  Record& r = Records();
  std::lock_guard lock(r.lock);
  r.script.push_back(command);
}

void ClearPopupMenuScript() {
  Record& r = Records();
  std::lock_guard lock(r.lock);
  r.script.clear();
}

std::vector<ShownPopupMenu> ShownPopupMenus() {
  Record& r = Records();
  std::lock_guard lock(r.lock);
  return r.shown;
}

void ClearShownPopupMenus() {
  Record& r = Records();
  std::lock_guard lock(r.lock);
  r.shown.clear();
}

HWND ShowingPopupMenu() { return t_tracking && !t_tracking->levels.empty() ? t_tracking->levels.back().window : nullptr; }

bool PopupMenuItemPoint(HWND popup, int index, POINT* screen) {
  Level* level = LevelOf(popup);
  if (!level || !screen || index < 0 || index >= static_cast<int>(level->rows.size())) return false;
  RECT r;
  GetWindowRect(popup, &r);
  const RECT row = level->rows[index];
  *screen = POINT{r.left + (row.left + row.right) / 2, r.top + (row.top + row.bottom) / 2};
  return true;
}

}  // namespace zb::wm

using namespace zb::wm;

extern "C" BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS) {
  if (!IsMenu(menu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  if (!IsWindow(owner)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (t_tracking) {
    SetLastError(ERROR_POPUP_ALREADY_ACTIVE);
    return FALSE;
  }
  bool scripted = false;
  UINT answer = 0;
  {
    Record& r = Records();
    std::lock_guard lock(r.lock);
    if (!r.script.empty()) {
      scripted = true;
      answer = r.script.front();
      r.script.pop_front();
    }
  }
  const POINT at{x, y};
  if (scripted) {
    SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    answer = Scripted(menu, answer);
  } else {
    answer = Show(menu, flags, at, owner);
  }
  Remember(menu, flags, at, answer);
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(answer);
  if (!answer) return FALSE;
  PostMessageW(owner, WM_COMMAND, MAKEWPARAM(answer, 0), 0);
  return TRUE;
}

extern "C" BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

extern "C" BOOL EndMenu() {
  if (!t_tracking) return FALSE;
  t_tracking->done = true;
  return TRUE;
}
