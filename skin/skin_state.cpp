// The skin state's ownership of the skin and the user-interface commands it shows. A skin that
// lacks an element does not show that value; nothing fails.
#include "skin/skin_state.h"

#include "skin/skin.h"
#include "skin/skin_messages.h"
#include "skin/ui_cache.h"

namespace {

constexpr int kUiRefreshAll = 0;
constexpr int kUiSongTitle = 6;
constexpr int kUiDrawAll = 8;
constexpr int kUiPaint = 9;
constexpr int kUiElementMessage = 16;
constexpr int kUiHasStop = 22;
constexpr int kUiHasElement = 30;

// The commands that answer with one of the skin's pragmas.
constexpr struct {
  int id, pragma;
} kPragmaQueries[] = {{12, 1}, {17, 3}, {19, 4}};
constexpr int kUiPlaylistPragma = 15;  // pragma 2 for value 0, else pragma 7


}  // namespace

void CSkinState::SetSkin(CSkin* skin) {
  if (skin_ && skin_ != skin) {
    delete skin_;
    UICache::Destroy();  // the old skin's images; a new skin's are loaded after a detach
  }
  skin_ = skin;
}

void CSkinState::Release() {
  delete skin_;
  skin_ = nullptr;
  UICache::Destroy();
}

BOOL CSkinState::HandleWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!skin_) return FALSE;
  return skin_->HandleWindowMessage(window, msg, wParam, lParam, FALSE);
}

bool CSkinState::Handles(int id) {
  for (const auto& q : kPragmaQueries)
    if (q.id == id) return true;
  for (int known : {kUiRefreshAll, kUiSongTitle, kUiDrawAll, kUiPaint, kUiPlaylistPragma,
                    kUiElementMessage, kUiHasStop, kUiHasElement})
    if (known == id) return true;
  return false;
}

void CSkinState::ShowTitle() {
  if (CSkinElement* label = skin_ ? skin_->FindElement(SKIN_KIND_LABEL, u"SONGTITLE") : nullptr) {
    label->SendMessage(window_, SKM_SETTEXT, 0, reinterpret_cast<LPARAM>(title_.c_str()));
    skin_->DrawElement(label);
  }
}

// The time view: " hh:mm:ss", or " mm:ss" with the hours in the minutes when the long form does
// not fit the label.
void CSkinState::ShowTime() {
  CSkinElement* view = skin_ ? skin_->FindElement(SKIN_KIND_LABEL, u"TRACKVIEW") : nullptr;
  if (!view) return;
  WCHAR text[32];
  wsprintfW(text, u" %02d:%02d:%02d", elapsedHours_, elapsedMinutes_, elapsedSeconds_);
  const LRESULT room = view->SendMessage(window_, SKM_GETLENGTH, 0, 0);
  if (view->SendMessage(window_, SKM_GETTEXTWIDTH, 0, reinterpret_cast<LPARAM>(text)) > room)
    wsprintfW(text, u" %02d:%02d", elapsedHours_ * 60 + elapsedMinutes_, elapsedSeconds_);
  view->SendMessage(window_, SKM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  skin_->DrawElement(view);
}

int CSkinState::HandleUiCommand(int id, void* value) {
  if (id == kUiSongTitle && value) title_ = std::u16string(static_cast<LPCWSTR>(value)).substr(0, 259);
  if (!skin_) return 0;
  for (const auto& q : kPragmaQueries)
    if (q.id == id) return skin_->GetPragma(q.pragma);
  const auto named = [this](void* name) { return name ? skin_->FindElementByName(static_cast<LPCWSTR>(name)) : nullptr; };
  switch (id) {
    case kUiRefreshAll:
      ShowTitle();
      ShowTime();
      return 0;
    case kUiSongTitle:  // without a text, the title shown last
      ShowTitle();
      return 0;
    case kUiDrawAll:
    case kUiPaint:
      if (value) skin_->PaintAll(window_, static_cast<HDC>(value));
      return 1;
    case kUiPlaylistPragma:
      return skin_->GetPragma(value ? 7 : 2);
    case kUiElementMessage: {
      const auto* record = static_cast<const SkinElementMessage*>(value);
      CSkinElement* element = record ? named(const_cast<LPWSTR>(record->name)) : nullptr;
      return element ? static_cast<int>(element->SendMessage(window_, record->message, record->words[0], record->words[1])) : 0;
    }
    case kUiHasStop:
      return skin_->HasVisibleElement(u"STOP") ? 1 : 0;
    case kUiHasElement: {
      CSkinElement* element = named(value);
      RECT r{};
      if (element) element->GetRect(&r);
      return element && !IsRectEmpty(&r) ? 1 : 0;
    }
    default:
      return 0;
  }
}
