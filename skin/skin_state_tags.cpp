// The labels that show the playing item's tags ("TAG_5_6": the first of those tag numbers the item
// has; "TAG__%5 - %7": a title format), the rating frame, and the scrolling of the text labels.
#include <oleauto.h>

#include <algorithm>

#include "library/mediaitem.h"
#include "skin/skin.h"
#include "skin/skin_label.h"
#include "skin/skin_state.h"

namespace {

constexpr int kMaxTagNumbers = 6;

// The tag numbers of a "TAG_%d_%d..." name: up to six, each of at least one digit; 0 when the rest
// of the name is not that.
int ParseTagNumbers(LPCWSTR rest, DWORD* numbers) {
  int count = 0;
  while (*rest && count < kMaxTagNumbers) {
    if (*rest < u'0' || *rest > u'9') break;
    DWORD n = 0;
    for (; *rest >= u'0' && *rest <= u'9'; ++rest) n = n * 10 + static_cast<DWORD>(*rest - u'0');
    numbers[count++] = n;
    if (*rest != u'_') break;
    ++rest;
  }
  return count;
}

std::u16string TakeText(BSTR text) {
  std::u16string out = text ? text : u"";
  if (text) SysFreeString(text);
  return out;
}

std::u16string TagText(IMediaItem* item, LPCWSTR name) {
  if (!item) return {};
  if (name[0] == u'_') {
    BSTR formatted = nullptr;
    LONG missing = 0;
    const HRESULT hr = item->FormatTitle(MEDIAITEM_TITLE_FORMAT, 1024, name + 1, &formatted, &missing);
    std::u16string text = TakeText(formatted);
    return SUCCEEDED(hr) ? text : std::u16string();
  }
  DWORD numbers[kMaxTagNumbers];
  const int count = ParseTagNumbers(name, numbers);
  for (int i = 0; i < count; ++i) {
    DWORD id = 0;
    BSTR value = nullptr;
    if (SUCCEEDED(item->GetTagIdByNumber(numbers[i], &id)) && SUCCEEDED(item->GetString(id, &value)) && value)
      return TakeText(value);
    TakeText(value);
  }
  return {};
}

// Rating 0..99 as the frame of the RATING count button: 0 none, 1-4 quarters, 5 for 99.
int RatingFrame(IMediaItem* item) {
  LONG rating = 0;
  if (!item || FAILED(item->GetInt(TAG_RATING, &rating))) return 0;
  if (rating == 99) return 5;
  if (rating <= 0) return 0;
  return std::min<int>(rating / 25 + 1, 5);
}

}  // namespace

void CSkinState::ShowTagLabels(IMediaItem* item) {
  tagLabels_.clear();
  for (int i = 0; i < skin_->GetElementCount(); ++i) {
    CSkinElement* element = skin_->GetElementAt(i);
    if (!element->IsKind(SKIN_KIND_LABEL)) continue;
    WCHAR name[129];
    element->GetName(name, 129);
    DWORD numbers[kMaxTagNumbers];
    if (wcsncmp(name, u"TAG_", 4) != 0 || (name[4] != u'_' && ParseTagNumbers(name + 4, numbers) == 0)) continue;
    const std::u16string text = TagText(item, name + 4);
    element->SendMessage(window_, SKM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    tagLabels_.push_back(i);
  }
  SetFrame(u"RATING", RatingFrame(item));
}

void CSkinState::ScrollTexts(BOOL on) {
  std::vector<CSkinElement*> labels = {Find(SKIN_KIND_LABEL, u"SONGTITLE"), Find(SKIN_KIND_LABEL, u"EQNAME")};
  for (int index : tagLabels_) {
    CSkinElement* e = skin_->GetElementAt(index);
    if (e && e->IsVisible()) labels.push_back(e);
  }
  for (CSkinElement* e : labels) {
    auto* label = static_cast<CSkinLabel*>(e);
    if (!label) continue;
    if (on)
      label->Tick();
    else
      label->ResetScroll();
  }
  if (!host_) return;
  const int mode = !textHidden_ && host_->IsPlaying() ? (host_->IsPaused() ? 2 : 1) : 0;
  skin_->SetAnimationMode(mode);
}
