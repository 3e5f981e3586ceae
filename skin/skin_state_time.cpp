// The time elements: the seek slider, the time labels in their long and short forms (with a
// hundreds digit in the lead for long tracks) and the digit labels of skins that split the time.
#include <algorithm>

#include "skin/skin.h"
#include "skin/skin_messages.h"
#include "skin/skin_state.h"

namespace {

constexpr DWORD kNoPreview = 0xFFFFFFFF;

// "%c%02d:%02d:%02d", or "%c%02d:%02d" with the hours in the minutes when the long form does not
// fit the label. A blank lead gives way to the hundreds digit of 100 to 999 hours (or minutes).
void FormatTime(CSkinElement* label, HWND window, WCHAR lead, int h, int m, int s, WCHAR* text) {
  auto compose = [&](bool shortForm) {
    int first = shortForm ? h * 60 + m : h;
    WCHAR c = lead;
    if (c == u' ' && first >= 100 && first <= 999) {
      c = static_cast<WCHAR>(u'0' + first / 100);
      first %= 100;
    }
    if (shortForm)
      wsprintfW(text, u"%c%02d:%02d", c, first, s);
    else
      wsprintfW(text, u"%c%02d:%02d:%02d", c, first, m, s);
  };
  compose(false);
  const LRESULT room = label->SendMessage(window, SKM_GETLENGTH, 0, 0);
  if (room < label->SendMessage(window, SKM_GETTEXTWIDTH, 0, reinterpret_cast<LPARAM>(text))) compose(true);
}

}  // namespace

void CSkinState::UpdateTrackTimeElements(int length, int hours, int minutes, int seconds) {
  if (!skin_) return;
  if (length != -1) lengthSeconds_ = length;
  const bool seekable = lengthSeconds_ > 0;
  const int shownLength = lengthSeconds_ < 0 ? -lengthSeconds_ : lengthSeconds_;
  if (hours != -1 && minutes != -1 && seconds != -1) {
    elapsedHours_ = hours;
    elapsedMinutes_ = minutes;
    elapsedSeconds_ = seconds;
  }
  int h = elapsedHours_, m = elapsedMinutes_, s = elapsedSeconds_;
  const int previewRange = HIWORD(seekPreview_);
  // A slider of range 0 previews nothing.
  if (seekPreview_ != kNoPreview && shownLength > 0 && previewRange > 0) {
    const int total = static_cast<int>(static_cast<double>(LOWORD(seekPreview_)) * shownLength / previewRange);
    h = total / 3600;
    m = total % 3600 / 60;
    s = total % 60;
  }
  SetSlider(Find(SKIN_KIND_SLIDER, u"TRACK"), h * 3600 + m * 60 + s, seekable ? shownLength : 0);

  WCHAR lead = u' ';
  if (host_ && !host_->GetSetting(SKIN_SETTING_SHOWING_ELAPSED) && shownLength > 0) {
    const int left = std::max(shownLength - (h * 3600 + m * 60 + s), 0);
    h = left / 3600;
    m = left % 3600 / 60;
    s = left % 60;
    lead = u'-';
  }
  WCHAR text[48] = u"";
  if (CSkinElement* label = Find(SKIN_KIND_LABEL, u"TRACKLENGTH")) {
    if (shownLength > 0) FormatTime(label, window_, lead, h, m, s, text);
    label->SendMessage(window_, SKM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  }
  if (CSkinElement* view = Find(SKIN_KIND_LABEL, u"TRACKVIEW")) {
    FormatTime(view, window_, lead, h, m, s, text);
    view->SendMessage(window_, SKM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return;
  }
  ShowTrackViewLabels(lead, h, m, s);
}

// Skins that draw each part of the time in a label of its own; a missing part folds into the next.
void CSkinState::ShowTrackViewLabels(WCHAR lead, int h, int m, int s) {
  WCHAR text[16];
  wsprintfW(text, u"%c", lead);
  SetLabel(u"TRACKVIEWSIGN", text);
  if (Find(SKIN_KIND_LABEL, u"TRACKVIEW100H")) {
    wsprintfW(text, u"%01d", h / 100);
    SetLabel(u"TRACKVIEW100H", text);
    h %= 100;
  }
  if (Find(SKIN_KIND_LABEL, u"TRACKVIEWH")) {
    wsprintfW(text, u"%02d", h);
    SetLabel(u"TRACKVIEWH", text);
  } else {
    m += h * 60;
  }
  if (Find(SKIN_KIND_LABEL, u"TRACKVIEWM")) {
    wsprintfW(text, u"%02d", m);
    SetLabel(u"TRACKVIEWM", text);
  } else {
    s += m * 60;
  }
  wsprintfW(text, u"%02d", s);
  SetLabel(u"TRACKVIEWS", text);
}
