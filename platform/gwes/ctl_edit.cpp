// The "EDIT" class: single-line edits that scroll sideways and multi-line edits that wrap and
// scroll by lines (with their own bar under WS_VSCROLL); read-only, number-only, password and
// case-folding forms; the selection and its messages; EN_CHANGE after every change the user or
// a replacing message makes. Text is kept here, in the model, and answers WM_GETTEXT.
#include <algorithm>

#include "gwes/caret.h"
#include "gwes/control_state.h"
#include "gwes/ctl_common.h"
#include "gwes/ctl_edit_text.h"
#include "gwes/ctl_procs.h"
#include "gwes/scroll_bar.h"
#include "gwes/wm_text.h"

namespace zb::wm {
namespace {

constexpr size_t kSingleLineLimit = 0x7FFE;
constexpr size_t kMultiLineLimit = 0x7FFFFFFE;

// What cut and paste share within the process; the device has no other reader of it here.
std::u16string& Clipboard() {
  static std::u16string text;
  return text;
}

struct EditState {
  EditText model;
  HFONT font = nullptr;
  size_t limit = 0;
  bool modified = false;
  char16_t passwordChar = u'*';
  int xOffset = 0;         // single line: pixels the text is moved left
  size_t firstLine = 0;    // multi-line: the top line shown
  int leftMargin = 1, rightMargin = 1;
  bool tracking = false;   // the stylus is selecting
  bool focused = false;
  BarTracker bar;
  std::u16string undoText;
  bool canUndo = false;
  int laidWidth = -1;      // the width the lines were laid out for
};

LONG_PTR Style(HWND hwnd) { return GetWindowLongW(hwnd, GWL_STYLE); }
bool Multi(HWND hwnd) { return (Style(hwnd) & ES_MULTILINE) != 0; }
bool ReadOnly(HWND hwnd) { return (Style(hwnd) & ES_READONLY) != 0; }

// Where text goes: the client area less the border, the bar and the margins.
RECT FormatRect(HWND hwnd, const EditState& e) {
  RECT r;
  GetClientRect(hwnd, &r);
  if (Style(hwnd) & WS_BORDER) InflateRect(&r, -1, -1);
  RECT bar = VerticalBarStrip(hwnd);
  if (Multi(hwnd) && !IsRectEmpty(&bar)) r.right = bar.left;
  r.left += e.leftMargin;
  r.right -= e.rightMargin;
  if (r.right < r.left) r.right = r.left;
  return r;
}

// The characters as shown: the password character in place of each when asked.
std::u16string Shown(HWND hwnd, const EditState& e) {
  if ((Style(hwnd) & ES_PASSWORD) && !Multi(hwnd)) return std::u16string(e.model.text().size(), e.passwordChar);
  return e.model.text();
}

// A DC of the control with its font, for measuring.
class MeasureDc {
 public:
  MeasureDc(HWND hwnd, HFONT font) : hwnd_(hwnd), dc_(GetDC(hwnd)) { old_ = SelectObject(dc_, FontOr(font)); }
  ~MeasureDc() {
    SelectObject(dc_, old_);
    ReleaseDC(hwnd_, dc_);
  }
  int Width(const char16_t* text, size_t count) const {
    SIZE size{0, 0};
    if (count) GetTextExtentPoint32W(dc_, text, static_cast<int>(count), &size);
    return size.cx;
  }
  int LineHeight() const {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_, &tm);
    return std::max<int>(tm.tmHeight, 1);
  }

 private:
  HWND hwnd_;
  HDC dc_;
  HGDIOBJ old_;
};

void Layout(HWND hwnd, EditState& e, const MeasureDc& m) {
  const RECT r = FormatRect(hwnd, e);
  const bool wrap = Multi(hwnd) && !(Style(hwnd) & ES_AUTOHSCROLL);
  const std::u16string shown = Shown(hwnd, e);
  e.model.Layout([&](const char16_t* text, size_t count) { return m.Width(shown.data() + (text - e.model.text().data()), count); },
                 wrap ? std::max<int>(r.right - r.left, 1) : 0);
  e.laidWidth = r.right - r.left;
}

int VisibleLines(HWND hwnd, const EditState& e, const MeasureDc& m) {
  const RECT r = FormatRect(hwnd, e);
  return std::max<int>((r.bottom - r.top) / m.LineHeight(), 1);
}

// The pixel offset of character `index` within its line.
int XOf(HWND hwnd, const EditState& e, const MeasureDc& m, size_t index) {
  const std::u16string shown = Shown(hwnd, e);
  const auto& line = e.model.lines()[e.model.LineOf(index)];
  return m.Width(shown.data() + line.start, std::min(index, line.start + line.length) - line.start);
}

// The character nearest to a point in the client area.
size_t CharAt(HWND hwnd, const EditState& e, const MeasureDc& m, POINT p) {
  const RECT r = FormatRect(hwnd, e);
  const auto& lines = e.model.lines();
  size_t l = 0;
  if (Multi(hwnd)) {
    const int row = p.y < r.top ? -1 : (p.y - r.top) / m.LineHeight();
    const int64_t wanted = static_cast<int64_t>(e.firstLine) + row;
    l = static_cast<size_t>(std::clamp<int64_t>(wanted, 0, static_cast<int64_t>(lines.size()) - 1));
  }
  const auto& line = lines[l];
  const std::u16string shown = Shown(hwnd, e);
  const int x = p.x - r.left + (Multi(hwnd) ? 0 : e.xOffset);
  size_t best = line.start;
  for (size_t i = 0; i <= line.length; ++i) {
    const int here = m.Width(shown.data() + line.start, i);
    if (i > 0) {
      const int before = m.Width(shown.data() + line.start, i - 1);
      if (x < (before + here) / 2) break;
    }
    best = line.start + i;
  }
  return best;
}

void SyncBar(HWND hwnd, const EditState& e, const MeasureDc& m) {
  if (!Multi(hwnd) || !(Style(hwnd) & WS_VSCROLL)) return;
  SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0,
                  static_cast<int>(e.model.lines().size()) - 1, static_cast<UINT>(VisibleLines(hwnd, e, m)),
                  static_cast<int>(e.firstLine), 0};
  SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
}

// Scrolls so the caret shows; places the caret.
void FollowCaret(HWND hwnd, EditState& e, const MeasureDc& m) {
  const RECT r = FormatRect(hwnd, e);
  const int caretX = XOf(hwnd, e, m, e.model.caret());
  if (Multi(hwnd)) {
    const size_t line = e.model.LineOf(e.model.caret());
    const size_t visible = static_cast<size_t>(VisibleLines(hwnd, e, m));
    if (line < e.firstLine) e.firstLine = line;
    if (line >= e.firstLine + visible) e.firstLine = line - visible + 1;
  } else {
    const int width = r.right - r.left;
    if (caretX - e.xOffset > width) e.xOffset = caretX - width + width / 4;
    if (caretX < e.xOffset) e.xOffset = std::max(caretX - width / 4, 0);
    e.xOffset = std::max(e.xOffset, 0);
  }
  SyncBar(hwnd, e, m);
  if (e.focused) {
    const size_t line = e.model.LineOf(e.model.caret());
    const int y = Multi(hwnd) ? r.top + static_cast<int>(line - e.firstLine) * m.LineHeight()
                              : r.top + (r.bottom - r.top - m.LineHeight()) / 2;
    SetCaretPos(r.left + caretX - (Multi(hwnd) ? 0 : e.xOffset), y);
  }
}

void Refresh(HWND hwnd, EditState& e) {
  MeasureDc m(hwnd, e.font);
  Layout(hwnd, e, m);
  const size_t lines = e.model.lines().size();
  if (e.firstLine >= lines) e.firstLine = lines - 1;
  FollowCaret(hwnd, e, m);
  InvalidateRect(hwnd, nullptr, TRUE);
}

// Applies a replacement of the selection the way typing does: case folding, the limit, and for
// a single line without sideways scrolling the width; false when nothing could go in.
bool Replace(HWND hwnd, EditState& e, std::u16string with) {
  const LONG_PTR style = Style(hwnd);
  if (style & ES_UPPERCASE) for (char16_t& c : with) c = static_cast<char16_t>(towupper(c));
  if (style & ES_LOWERCASE) for (char16_t& c : with) c = static_cast<char16_t>(towlower(c));
  if (!Multi(hwnd)) {
    // A single line keeps only the first line of what comes in.
    const size_t stop = with.find_first_of(u"\r\n");
    if (stop != std::u16string::npos) with.resize(stop);
  }
  const size_t kept = e.model.text().size() - (e.model.selEnd() - e.model.selStart());
  bool full = false;
  if (kept + with.size() > e.limit) {
    with.resize(e.limit > kept ? e.limit - kept : 0);
    full = true;
  }
  if (with.empty() && !e.model.HasSelection()) {
    if (full) NotifyCommand(hwnd, EN_MAXTEXT);
    return false;
  }
  const EditText before = e.model;
  e.undoText = e.model.text();
  e.model.ReplaceSelection(with);
  if (!Multi(hwnd) && !(style & ES_AUTOHSCROLL)) {
    MeasureDc m(hwnd, e.font);
    const RECT r = FormatRect(hwnd, e);
    const std::u16string shown = Shown(hwnd, e);
    if (m.Width(shown.data(), shown.size()) > r.right - r.left) {
      e.model = before;  // it would not fit: the text stays as it was
      NotifyCommand(hwnd, EN_MAXTEXT);
      return false;
    }
  }
  e.canUndo = true;
  e.modified = true;
  StoreText(hwnd, e.model.text());
  Refresh(hwnd, e);
  if (full) NotifyCommand(hwnd, EN_MAXTEXT);
  NotifyCommand(hwnd, EN_UPDATE);
  NotifyCommand(hwnd, EN_CHANGE);
  return true;
}

void Select(HWND hwnd, EditState& e, size_t anchor, size_t caret) {
  e.model.Select(anchor, caret);
  MeasureDc m(hwnd, e.font);
  FollowCaret(hwnd, e, m);
  InvalidateRect(hwnd, nullptr, TRUE);
}

// Scrolls a multi-line edit by `lines` (clamped); the lines it actually moved.
int ScrollLines(HWND hwnd, EditState& e, int lines) {
  if (!Multi(hwnd)) return 0;
  MeasureDc m(hwnd, e.font);
  const int count = static_cast<int>(e.model.lines().size());
  const int visible = VisibleLines(hwnd, e, m);
  const int top = std::clamp(static_cast<int>(e.firstLine) + lines, 0, std::max(count - visible, 0));
  const int moved = top - static_cast<int>(e.firstLine);
  if (moved) {
    e.firstLine = static_cast<size_t>(top);
    SyncBar(hwnd, e, m);
    InvalidateRect(hwnd, nullptr, TRUE);
    if (e.focused) {
      // The caret stays at its character, so it moves with the text.
      const RECT r = FormatRect(hwnd, e);
      const int line = static_cast<int>(e.model.LineOf(e.model.caret())) - top;
      SetCaretPos(r.left + XOf(hwnd, e, m, e.model.caret()), r.top + line * m.LineHeight());
    }
  }
  return moved;
}

int ScrollCode(HWND hwnd, EditState& e, int code) {
  MeasureDc m(hwnd, e.font);
  const int page = std::max(VisibleLines(hwnd, e, m) - 1, 1);
  switch (code) {
    case SB_LINEUP: return ScrollLines(hwnd, e, -1);
    case SB_LINEDOWN: return ScrollLines(hwnd, e, 1);
    case SB_PAGEUP: return ScrollLines(hwnd, e, -page);
    case SB_PAGEDOWN: return ScrollLines(hwnd, e, page);
    case SB_TOP: return ScrollLines(hwnd, e, -static_cast<int>(e.firstLine));
    case SB_BOTTOM: return ScrollLines(hwnd, e, static_cast<int>(e.model.lines().size()));
    default: return 0;
  }
}

void Paint(HWND hwnd, EditState& e) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (!dc) return;
  const int saved = SaveDC(dc);
  RECT client;
  GetClientRect(hwnd, &client);
  const LONG_PTR style = Style(hwnd);
  const bool enabled = IsWindowEnabled(hwnd);
  const UINT colours = (ReadOnly(hwnd) || !enabled) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  HBRUSH brush = ParentColours(hwnd, dc, e.font, colours);
  FillRect(dc, &client, brush);
  if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  if (style & WS_BORDER) Frame(dc, client, GetSysColor(COLOR_WINDOWFRAME));
  if (e.laidWidth < 0) {
    MeasureDc m(hwnd, e.font);
    Layout(hwnd, e, m);
  }
  const RECT r = FormatRect(hwnd, e);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const int lineHeight = std::max<int>(tm.tmHeight, 1);
  const std::u16string shown = Shown(hwnd, e);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  const COLORREF text = GetTextColor(dc);
  const COLORREF selText = GetSysColor(COLOR_HIGHLIGHTTEXT), selBack = GetSysColor(COLOR_HIGHLIGHT);
  const bool showSelection = e.focused || (style & ES_NOHIDESEL);
  const auto& lines = e.model.lines();
  const size_t first = Multi(hwnd) ? e.firstLine : 0;
  const int dx = Multi(hwnd) ? 0 : -e.xOffset;
  int y = Multi(hwnd) ? r.top : r.top + (r.bottom - r.top - lineHeight) / 2;
  SetBkMode(dc, TRANSPARENT);
  for (size_t l = first; l < lines.size() && y < r.bottom; ++l, y += lineHeight) {
    const auto& line = lines[l];
    const char16_t* chars = shown.data() + line.start;
    ExtTextOutW(dc, r.left + dx, y, 0, nullptr, chars, static_cast<UINT>(line.length), nullptr);
    // The selected part of the line, drawn again over the highlight.
    const size_t from = std::max(e.model.selStart(), line.start), to = std::min(e.model.selEnd(), line.start + line.length);
    if (showSelection && from < to) {
      SIZE before{0, 0}, part{0, 0};
      GetTextExtentPoint32W(dc, chars, static_cast<int>(from - line.start), &before);
      GetTextExtentPoint32W(dc, shown.data() + from, static_cast<int>(to - from), &part);
      RECT band{r.left + dx + before.cx, y, r.left + dx + before.cx + part.cx, y + lineHeight};
      Fill(dc, band, selBack);
      SetTextColor(dc, selText);
      ExtTextOutW(dc, band.left, y, 0, nullptr, shown.data() + from, static_cast<UINT>(to - from), nullptr);
      SetTextColor(dc, text);
    }
  }
  RECT caret;
  if (CaretShownIn(hwnd, &caret)) Fill(dc, caret, GetSysColor(COLOR_WINDOWTEXT));
  RestoreDC(dc, saved);
  if (Multi(hwnd) && (style & WS_VSCROLL)) {
    const RECT strip = VerticalBarStrip(hwnd);
    PaintBar(dc, LayBar(strip, true, WindowBar(hwnd, SB_VERT)), enabled);
  }
  EndPaint(hwnd, &ps);
}

// Keys that move the caret; with Shift the selection grows.
bool MoveKey(HWND hwnd, EditState& e, UINT vk) {
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const auto& text = e.model.text();
  size_t caret = e.model.caret();
  MeasureDc m(hwnd, e.font);
  const auto& lines = e.model.lines();
  const size_t line = e.model.LineOf(caret);
  auto column = [&](size_t target) {
    // The character in line `target` nearest the caret's x.
    POINT p{FormatRect(hwnd, e).left + XOf(hwnd, e, m, caret) - (Multi(hwnd) ? 0 : e.xOffset), 0};
    const RECT r = FormatRect(hwnd, e);
    p.y = r.top + static_cast<int>(target - e.firstLine) * m.LineHeight();
    if (target < e.firstLine) p.y = r.top - 1;
    size_t best = lines[target].start;
    for (size_t i = 0; i <= lines[target].length; ++i) {
      if (XOf(hwnd, e, m, lines[target].start + i) - (Multi(hwnd) ? 0 : e.xOffset) + r.left <= p.x + 1) best = lines[target].start + i;
    }
    return best;
  };
  if (!Multi(hwnd) && (vk == VK_UP || vk == VK_DOWN)) vk = vk == VK_UP ? VK_LEFT : VK_RIGHT;
  switch (vk) {
    case VK_LEFT:
      if (!shift && e.model.HasSelection()) caret = e.model.selStart();
      else if (caret > 0) caret -= (caret >= 2 && text[caret - 1] == u'\n' && text[caret - 2] == u'\r') ? 2 : 1;
      break;
    case VK_RIGHT:
      if (!shift && e.model.HasSelection()) caret = e.model.selEnd();
      else if (caret < text.size()) caret += (text[caret] == u'\r' && caret + 1 < text.size() && text[caret + 1] == u'\n') ? 2 : 1;
      break;
    case VK_HOME: caret = lines[line].start; break;
    case VK_END: caret = lines[line].start + lines[line].length; break;
    case VK_UP:
      if (line > 0) caret = column(line - 1);
      break;
    case VK_DOWN:
      if (line + 1 < lines.size()) caret = column(line + 1);
      break;
    default: return false;
  }
  Select(hwnd, e, shift ? e.model.anchor() : caret, caret);
  return true;
}

void DeleteKey(HWND hwnd, EditState& e, bool back) {
  if (ReadOnly(hwnd)) return;
  if (!e.model.HasSelection()) {
    const auto& text = e.model.text();
    size_t caret = e.model.caret();
    if (back) {
      if (caret == 0) return;
      const size_t step = (caret >= 2 && text[caret - 1] == u'\n' && text[caret - 2] == u'\r') ? 2 : 1;
      e.model.Select(caret, caret - step);
    } else {
      if (caret >= text.size()) return;
      const size_t step = (text[caret] == u'\r' && caret + 1 < text.size() && text[caret + 1] == u'\n') ? 2 : 1;
      e.model.Select(caret, caret + step);
    }
  }
  Replace(hwnd, e, u"");
}

void Char(HWND hwnd, EditState& e, char16_t c) {
  switch (c) {
    case 3:  // Ctrl+C
      SendMessageW(hwnd, WM_COPY, 0, 0);
      return;
    case 22:  // Ctrl+V
      SendMessageW(hwnd, WM_PASTE, 0, 0);
      return;
    case 24:  // Ctrl+X
      SendMessageW(hwnd, WM_CUT, 0, 0);
      return;
    case 1:  // Ctrl+A
      Select(hwnd, e, 0, e.model.text().size());
      return;
    case 8:
      DeleteKey(hwnd, e, true);
      return;
    default:
      break;
  }
  if (ReadOnly(hwnd)) return;
  if (c == u'\r' || c == u'\n') {
    if (Multi(hwnd)) Replace(hwnd, e, u"\r\n");
    return;
  }
  if (c < 0x20 && c != u'\t') return;
  if ((Style(hwnd) & ES_NUMBER) && (c < u'0' || c > u'9')) return;
  Replace(hwnd, e, std::u16string(1, c));
}

DWORD SelectionWord(const EditState& e) {
  return static_cast<DWORD>(MAKELONG(std::min<size_t>(e.model.selStart(), 0xFFFF), std::min<size_t>(e.model.selEnd(), 0xFFFF)));
}

size_t LineArg(HWND hwnd, EditState& e, WPARAM wParam) {
  return static_cast<INT_PTR>(wParam) < 0 ? e.model.LineOf(e.model.caret()) : static_cast<size_t>(wParam);
}

LRESULT Handle(HWND hwnd, EditState& e, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      e.limit = (create->style & ES_MULTILINE) ? kMultiLineLimit : kSingleLineLimit;
      e.model.SetText(create->lpszName ? create->lpszName : u"");
      StoreText(hwnd, e.model.text());
      return 0;
    }
    case WM_SIZE:
      Refresh(hwnd, e);
      return 0;
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (Multi(hwnd)) {
        code |= DLGC_WANTALLKEYS;
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg && msg->message == WM_KEYDOWN &&
            (msg->wParam == VK_ESCAPE || msg->wParam == VK_TAB ||
             (msg->wParam == VK_RETURN && !(Style(hwnd) & ES_WANTRETURN))))
          code &= ~DLGC_WANTALLKEYS;
      }
      return code;
    }
    case WM_SETFONT:
      e.font = reinterpret_cast<HFONT>(wParam);
      Refresh(hwnd, e);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(e.font);
    case WM_SETTEXT: {
      e.model.SetText(lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"");
      if (e.model.text().size() > e.limit) e.model.SetText(e.model.text().substr(0, e.limit));
      StoreText(hwnd, e.model.text());
      e.xOffset = 0;
      e.firstLine = 0;
      e.modified = false;
      e.canUndo = false;
      Refresh(hwnd, e);
      if (!Multi(hwnd)) NotifyCommand(hwnd, EN_CHANGE);
      return TRUE;
    }
    case WM_GETTEXT: {
      auto* out = reinterpret_cast<LPWSTR>(lParam);
      if (!out || wParam == 0) return 0;
      const size_t n = std::min(e.model.text().size(), static_cast<size_t>(wParam) - 1);
      std::copy_n(e.model.text().data(), n, out);
      out[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(e.model.text().size());
    case EM_GETSEL:
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(e.model.selStart());
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(e.model.selEnd());
      return SelectionWord(e);
    case EM_SETSEL: {
      const INT_PTR start = static_cast<INT_PTR>(static_cast<int>(wParam)), end = static_cast<int>(lParam);
      const size_t size = e.model.text().size();
      if (start < 0) {
        Select(hwnd, e, e.model.caret(), e.model.caret());  // -1 takes the selection away
      } else {
        const size_t a = static_cast<size_t>(start), b = end < 0 ? size : static_cast<size_t>(end);
        Select(hwnd, e, std::min(a, b), std::max(a, b));
      }
      return 0;
    }
    case EM_REPLACESEL:
      Replace(hwnd, e, lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"");
      if (!wParam) e.canUndo = false;
      return 0;
    case EM_GETLINECOUNT:
      return Multi(hwnd) ? static_cast<LRESULT>(e.model.lines().size()) : 1;
    case EM_LINEINDEX: {
      const size_t line = LineArg(hwnd, e, wParam);
      return line < e.model.lines().size() ? static_cast<LRESULT>(e.model.lines()[line].start) : -1;
    }
    case EM_LINEFROMCHAR: {
      const size_t index = static_cast<INT_PTR>(wParam) < 0 ? e.model.selStart() : static_cast<size_t>(wParam);
      return Multi(hwnd) ? static_cast<LRESULT>(e.model.LineOf(index)) : 0;
    }
    case EM_LINELENGTH: {
      if (static_cast<INT_PTR>(wParam) < 0) {
        // The characters of the selection's lines that are not selected.
        const auto& lines = e.model.lines();
        const auto& a = lines[e.model.LineOf(e.model.selStart())];
        const auto& b = lines[e.model.LineOf(e.model.selEnd())];
        return static_cast<LRESULT>((e.model.selStart() - a.start) + (b.start + b.length - e.model.selEnd()));
      }
      const size_t index = std::min(static_cast<size_t>(wParam), e.model.text().size());
      return static_cast<LRESULT>(e.model.lines()[e.model.LineOf(index)].length);
    }
    case EM_GETLINE: {
      const size_t line = static_cast<size_t>(wParam);
      auto* out = reinterpret_cast<WCHAR*>(lParam);
      if (!out || line >= e.model.lines().size()) return 0;
      const size_t room = static_cast<WORD>(out[0]);
      const auto& l = e.model.lines()[line];
      const size_t n = std::min(room, l.length);
      std::copy_n(e.model.text().data() + l.start, n, out);
      return static_cast<LRESULT>(n);
    }
    case EM_GETFIRSTVISIBLELINE:
      return Multi(hwnd) ? static_cast<LRESULT>(e.firstLine) : 0;
    case EM_LINESCROLL:
      ScrollLines(hwnd, e, static_cast<int>(lParam));
      return Multi(hwnd) ? TRUE : FALSE;
    case EM_SCROLL:
      if (!Multi(hwnd)) return 0;
      return MAKELRESULT(static_cast<WORD>(ScrollCode(hwnd, e, static_cast<int>(wParam))), TRUE);
    case EM_SCROLLCARET: {
      MeasureDc m(hwnd, e.font);
      FollowCaret(hwnd, e, m);
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case EM_GETMODIFY:
      return e.modified ? TRUE : FALSE;
    case EM_SETMODIFY:
      e.modified = wParam != 0;
      return 0;
    case EM_SETREADONLY: {
      const LONG_PTR style = Style(hwnd);
      SetWindowLongW(hwnd, GWL_STYLE, wParam ? (style | ES_READONLY) : (style & ~ES_READONLY));
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case EM_LIMITTEXT:
      e.limit = wParam ? static_cast<size_t>(wParam) : (Multi(hwnd) ? kMultiLineLimit : kSingleLineLimit);
      return 0;
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(e.limit);
    case EM_CANUNDO:
      return e.canUndo ? TRUE : FALSE;
    case EM_UNDO:
    case WM_UNDO: {
      if (!e.canUndo) return FALSE;
      std::u16string previous = e.undoText;
      e.undoText = e.model.text();
      e.model.SetText(previous);
      StoreText(hwnd, e.model.text());
      Refresh(hwnd, e);
      NotifyCommand(hwnd, EN_CHANGE);
      return TRUE;
    }
    case EM_EMPTYUNDOBUFFER:
      e.canUndo = false;
      return 0;
    case EM_SETPASSWORDCHAR:
      e.passwordChar = static_cast<char16_t>(wParam);
      Refresh(hwnd, e);
      return 0;
    case EM_GETPASSWORDCHAR:
      return e.passwordChar;
    case EM_SETMARGINS:
      if (wParam & EC_LEFTMARGIN) e.leftMargin = LOWORD(lParam);
      if (wParam & EC_RIGHTMARGIN) e.rightMargin = HIWORD(lParam);
      Refresh(hwnd, e);
      return 0;
    case EM_GETMARGINS:
      return MAKELRESULT(e.leftMargin, e.rightMargin);
    case EM_GETRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = FormatRect(hwnd, e);
      return 0;
    case EM_POSFROMCHAR: {
      MeasureDc m(hwnd, e.font);
      const size_t index = std::min(static_cast<size_t>(wParam), e.model.text().size());
      const RECT r = FormatRect(hwnd, e);
      const int line = static_cast<int>(e.model.LineOf(index)) - (Multi(hwnd) ? static_cast<int>(e.firstLine) : 0);
      const int x = r.left + XOf(hwnd, e, m, index) - (Multi(hwnd) ? 0 : e.xOffset);
      return MAKELRESULT(x, r.top + line * m.LineHeight());
    }
    case EM_CHARFROMPOS: {
      MeasureDc m(hwnd, e.font);
      const size_t index = CharAt(hwnd, e, m, PointOf(lParam));
      return MAKELRESULT(index, e.model.LineOf(index));
    }
    case WM_COPY:
    case WM_CUT:
      if (e.model.HasSelection() && !(Style(hwnd) & ES_PASSWORD)) {
        Clipboard() = e.model.text().substr(e.model.selStart(), e.model.selEnd() - e.model.selStart());
      }
      if (message == WM_CUT && e.model.HasSelection() && !ReadOnly(hwnd)) Replace(hwnd, e, u"");
      return 0;
    case WM_PASTE:
      if (!ReadOnly(hwnd)) Replace(hwnd, e, Clipboard());
      return 0;
    case WM_CLEAR:
      if (!ReadOnly(hwnd) && e.model.HasSelection()) Replace(hwnd, e, u"");
      return 0;
    case WM_CHAR:
      Char(hwnd, e, static_cast<char16_t>(wParam));
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_DELETE) {
        DeleteKey(hwnd, e, false);
      } else {
        MoveKey(hwnd, e, static_cast<UINT>(wParam));
      }
      return 0;
    case WM_VSCROLL:
      ScrollCode(hwnd, e, LOWORD(wParam));
      if (LOWORD(wParam) == SB_THUMBTRACK || LOWORD(wParam) == SB_THUMBPOSITION)
        ScrollLines(hwnd, e, static_cast<SHORT>(HIWORD(wParam)) - static_cast<int>(e.firstLine));
      if (LOWORD(wParam) != SB_ENDSCROLL) NotifyCommand(hwnd, EN_VSCROLL);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const POINT p = PointOf(lParam);
      if (Multi(hwnd) && e.bar.PressOwn(hwnd, p)) return 0;
      SetFocus(hwnd);
      MeasureDc m(hwnd, e.font);
      const size_t at = CharAt(hwnd, e, m, p);
      if (message == WM_LBUTTONDBLCLK) {
        Select(hwnd, e, e.model.WordStart(at), e.model.WordEnd(at));
        return 0;
      }
      const bool shift = GetKeyState(VK_SHIFT) < 0;
      Select(hwnd, e, shift ? e.model.anchor() : at, at);
      e.tracking = true;
      SetCapture(hwnd);
      return 0;
    }
    case WM_MOUSEMOVE: {
      const POINT p = PointOf(lParam);
      if (!e.bar.MoveOwn(hwnd, p) && e.tracking) {
        MeasureDc m(hwnd, e.font);
        Select(hwnd, e, e.model.anchor(), CharAt(hwnd, e, m, p));
      }
      return 0;
    }
    case WM_LBUTTONUP:
      if (!e.bar.ReleaseOwn(hwnd, PointOf(lParam)) && e.tracking) {
        e.tracking = false;
        ReleaseCapture();
      }
      return 0;
    case WM_SETFOCUS: {
      e.focused = true;
      MeasureDc m(hwnd, e.font);
      CreateCaret(hwnd, nullptr, 1, m.LineHeight());
      FollowCaret(hwnd, e, m);
      ShowCaret(hwnd);
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyCommand(hwnd, EN_SETFOCUS);
      return 0;
    }
    case WM_KILLFOCUS:
      e.focused = false;
      e.tracking = false;
      DestroyCaret();
      InvalidateRect(hwnd, nullptr, TRUE);
      NotifyCommand(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(hwnd, e);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return WithState<EditState, Handle>(hwnd, message, wParam, lParam);
}

}  // namespace zb::wm
