// The pages with more than one control: Bass Boost's frequency and gain sliders (which Variable
// Filters reuses with its type list) and Stereo Balance's mode list over one slider whose range
// follows the mode.
#include <commctrl.h>

#include <cmath>

#include "plugins/dsp/biquad_modules.h"
#include "plugins/dsp/dsp_pages.h"
#include "plugins/dsp/stereo_image.h"

namespace {

constexpr int kFirst = 1000, kSecond = 1001, kFirstLabel = 1002, kSecondLabel = 1003, kList = 1004;
constexpr LONG kNoActivate = 0x08000000;
constexpr const WCHAR* kFilterTypes[] = {u"Global Preamp",        u"Lowpass (Bass Only)",   u"Highpass (Treble Only)",
                                         u"Bandpass (Freq Only)", u"Notch (Freq. Mute)",    u"Lowshelf (Bass Boost)",
                                         u"Highshelf (Treble Boost)", u"Peaking (Freq. Boost)"};
constexpr const WCHAR* kStereoModes[] = {u"Stereo Separation", u"Stereo Panning", u"Mono Downmix"};

void BoostScroll(HWND page) {
  BiquadSettings& v = BiquadValues();
  const float scaled = static_cast<float>(TrackBarPosition(page, kFirst)) * 0.01f;
  v.frequency = static_cast<int>(std::exp(static_cast<double>(scaled)) * 20.0);
  WCHAR label[64];
  wsprintfW(label, u"%s: %dHz", GetWindowLongW(page, GWL_USERDATA) ? u"Freq" : u"Frequency", v.frequency.load());
  SetDlgItemTextW(page, kFirstLabel, label);
  v.gain = TrackBarPosition(page, kSecond) - 50;
  wsprintfW(label, u"Boost: %ddB", v.gain.load());
  SetDlgItemTextW(page, kSecondLabel, label);
}

void StereoScroll(HWND page) {
  const int position = TrackBarPosition(page, kFirst);
  WCHAR label[64];
  if (StereoBalance().mode == 1 || StereoBalance().mode == 2) {
    SetStereoPanning(position - 100);
    int left = 0, right = 0;
    PanningPercents(StereoBalance().panning, &left, &right);
    wsprintfW(label, u"%d%% Left %d%% Right", left, right);
  } else {
    SetStereoSeparation(position);
    wsprintfW(label, u"%d%% Separation", StereoBalance().separation * 100 / 255);
  }
  SetDlgItemTextW(page, kFirstLabel, label);
}

void StereoModeChanged(HWND page) {
  const int selection = static_cast<int>(SendDlgItemMessageW(page, kList, CB_GETCURSEL, 0, 0));
  if (selection != -1) SetStereoMode(selection);
  const StereoBalanceValues v = StereoBalance();
  if (v.mode == 1 || v.mode == 2) {
    SetTrackBar(page, kFirst, 0, 200, v.panning + 100);
  } else {
    SetTrackBar(page, kFirst, 0, 255, v.separation);
  }
  SendMessageW(page, WM_HSCROLL, 0, 0);
}

}  // namespace

INT_PTR BoostPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      const float product = static_cast<float>(BiquadValues().frequency) * 0.05f;
      SetTrackBar(page, kFirst, 1, 700, static_cast<int>(std::log(static_cast<double>(product)) * 100.0));
      SetTrackBar(page, kSecond, 0, 100, BiquadValues().gain + 50);
      BoostScroll(page);
      return FALSE;
    }
    case WM_HSCROLL:
      BoostScroll(page);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) return EndDialog(page, 2), TRUE;
      if (LOWORD(wParam) == IDOK) return 0;
      return PageCommand(page, wParam);
    default:
      return 0;
  }
}

INT_PTR VariablePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongW(page, GWL_USERDATA, 1);
    BoostPageProc(page, message, wParam, lParam);
    for (const WCHAR* text : kFilterTypes) SendDlgItemMessageW(page, kList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageW(page, kList, CB_SETCURSEL, BiquadValues().type, 0);
    return FALSE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == kList) {
    if (HIWORD(wParam) == CBN_SELCHANGE)
      BiquadValues().type = static_cast<int>(SendDlgItemMessageW(page, kList, CB_GETCURSEL, 0, 0));
    return TRUE;
  }
  return BoostPageProc(page, message, wParam, lParam);
}

INT_PTR StereoPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongW(page, GWL_EXSTYLE, kNoActivate);
      SetWindowTextW(page, u"Stereo Wide");
      for (const WCHAR* text : kStereoModes) SendDlgItemMessageW(page, kList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
      SendDlgItemMessageW(page, kList, CB_SETCURSEL, StereoBalance().mode, 0);
      SendMessageW(page, WM_COMMAND, MAKEWPARAM(kList, CBN_SELCHANGE), 0);
      StereoScroll(page);
      return FALSE;
    case WM_HSCROLL:
      StereoScroll(page);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kList) {
        if (HIWORD(wParam) == CBN_SELCHANGE) StereoModeChanged(page);
        return TRUE;
      }
      return PageCommand(page, wParam);
    default:
      return 0;
  }
}
