// Window text. The owner process keeps the whole text and answers WM_GETTEXT and WM_SETTEXT
// through the window's procedure; the shared table keeps the first kTitleChars characters, which
// is what other processes read (and what FindWindowW compares), without a message.
#include <algorithm>

#include "gwes/wm_session.h"
#include "gwes/wm_text.h"

using namespace zb::wm;

namespace zb::wm {

void StoreText(HWND hwnd, std::u16string_view text) {
  auto window = LocalWindow(hwnd);
  if (!window) return;
  Session& session = CurrentSession();
  {
    std::lock_guard lock(session.lock);
    window->text = std::u16string(text);
  }
  Locked lock(*session.seg);
  if (WindowSlot* w = Slot(*session.seg, hwnd)) CopyName(w->title, kTitleChars, text);
}

std::u16string LoadText(HWND hwnd) {
  auto window = LocalWindow(hwnd);
  if (!window) return {};
  Session& session = CurrentSession();
  std::lock_guard lock(session.lock);
  return window->text;
}

}  // namespace zb::wm

namespace {

// The shared copy, for a window of another process.
bool SharedTitle(HWND hwnd, std::u16string* title) {
  Segment& s = *CurrentSession().seg;
  Locked lock(s);
  WindowSlot* w = Slot(s, hwnd);
  if (!w) return false;
  *title = w->title;
  return true;
}

}  // namespace

extern "C" BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
  if (!LocalWindow(hwnd)) {
    SetLastError(IsWindow(hwnd) ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : u"")) ? TRUE : FALSE;
}

extern "C" int GetWindowTextW(HWND hwnd, LPWSTR text, int maxCount) {
  if (!text || maxCount <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  text[0] = 0;
  if (LocalWindow(hwnd))
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, maxCount, reinterpret_cast<LPARAM>(text)));
  std::u16string title;
  if (!SharedTitle(hwnd, &title)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  size_t n = std::min(title.size(), static_cast<size_t>(maxCount) - 1);
  std::copy_n(title.data(), n, text);
  text[n] = 0;
  return static_cast<int>(n);
}

extern "C" int GetWindowTextLengthW(HWND hwnd) {
  if (LocalWindow(hwnd)) return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
  std::u16string title;
  if (!SharedTitle(hwnd, &title)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return static_cast<int>(title.size());
}
