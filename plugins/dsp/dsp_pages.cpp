// The pages' shared handling and the pages of the one-slider modules (Pitch Adjust, Chorus
// Effect and Surround share dialog 103, each setting its own title and range).
#include "plugins/dsp/dsp_pages.h"

#include <commctrl.h>

#include "plugins/dsp/chorus_effect.h"
#include "plugins/dsp/pitch_adjust.h"
#include "plugins/dsp/stereo_image.h"

namespace {

constexpr int kSlider = 1000, kLabel = 1002, kMoveCommand = 1003;
constexpr LONG kNoActivate = 0x08000000;

void MovePage(HWND page) {
  RECT r{};
  GetWindowRect(page, &r);
  HDC dc = GetDC(page);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(page, dc);
  SetWindowPos(page, nullptr, GetSystemMetrics(SM_CXSCREEN) - (dpi * 8) / 96, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// One track bar, one label: the module's range, how a position becomes its value, and the label.
struct SliderPage {
  const WCHAR* title;
  int low, high;
  int (*position)();           // the track bar's position from the module's value
  void (*store)(int position, WCHAR* label);  // the value from the position, and the label text
};

INT_PTR SliderProc(const SliderPage& p, HWND page, UINT message, WPARAM wParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongW(page, GWL_EXSTYLE, kNoActivate);
      if (p.title) SetWindowTextW(page, p.title);
      SetTrackBar(page, kSlider, p.low, p.high, p.position());
      SliderProc(p, page, WM_HSCROLL, 0);
      return FALSE;
    case WM_HSCROLL: {
      WCHAR label[64];
      p.store(TrackBarPosition(page, kSlider), label);
      SetDlgItemTextW(page, kLabel, label);
      return TRUE;
    }
    case WM_COMMAND:
      return PageCommand(page, wParam);
    default:
      return 0;
  }
}

const SliderPage kPitchPage{nullptr, 0, 150, [] { return PitchPercent() - 50; }, [](int position, WCHAR* label) {
                              const int pitch = position + 50;
                              PitchPercent() = pitch;
                              if (pitch > 100) {
                                wsprintfW(label, u"%s%d%%", u"+", pitch - 100);
                              } else {
                                wsprintfW(label, u"%s%d%%", u"-", 10000 / pitch - 100);
                              }
                            }};
const SliderPage kChorusPage{u"Chorus", 100, 5000, [] { return ChorusSpeed().load(); }, [](int position, WCHAR* label) {
                               ChorusSpeed() = position;
                               wsprintfW(label, u"Amount: %d.%03d%Hz ", position / 1000, position % 1000);
                             }};
const SliderPage kSurroundPage{u"Surround", 0, 255, [] { return SurroundAmount(); }, [](int position, WCHAR* label) {
                                 SetSurroundAmount(position);
                                 wsprintfW(label, u"%d%% Surround", position * 100 / 255);
                               }};

}  // namespace

void SetTrackBar(HWND page, int id, int low, int high, int position) {
  HWND bar = GetDlgItem(page, id);
  SendMessageW(bar, TBM_SETRANGEMAX, FALSE, high);
  SendMessageW(bar, TBM_SETRANGEMIN, FALSE, low);
  SendMessageW(bar, TBM_SETPOS, TRUE, position);
}

int TrackBarPosition(HWND page, int id) { return static_cast<int>(SendDlgItemMessageW(page, id, TBM_GETPOS, 0, 0)); }

INT_PTR PageCommand(HWND page, WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case IDCANCEL: ShowWindow(page, SW_HIDE); return TRUE;
    case IDOK: EndDialog(page, 1); return TRUE;
    case kMoveCommand: MovePage(page); return TRUE;
    default: return 0;
  }
}

INT_PTR PitchPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) { return SliderProc(kPitchPage, page, message, wParam); }
INT_PTR ChorusPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) { return SliderProc(kChorusPage, page, message, wParam); }
INT_PTR SurroundPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  return SliderProc(kSurroundPage, page, message, wParam);
}
