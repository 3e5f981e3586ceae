// The skin state's ownership of the skin, and the user-interface commands as one table from id
// to what it shows: each looks its elements up by kind and name and skips the ones a skin lacks.
#include "skin/skin_state.h"

#include <algorithm>

#include "skin/element_commands.h"
#include "skin/skin.h"
#include "skin/skin_button.h"
#include "skin/skin_label.h"
#include "skin/skin_messages.h"
#include "skin/ui_cache.h"

namespace {

// The commands that answer with one of the skin's pragmas.
constexpr struct {
  int id, pragma;
} kPragmaQueries[] = {{12, 1}, {17, 3}, {19, 4}};

constexpr DWORD kNoPreview = 0xFFFFFFFF;
constexpr UINT kSetOffsetMessage = 26;  // the system's setting change: the playlist reloads its colours

}  // namespace

CSkinState::CSkinState(HWND window, ISkinHost* host)
    : window_(window), host_(host), lastClockTick_(GetTickCount() - 3600000) {}

void CSkinState::SetSkin(CSkin* skin) {
  if (skin_ != skin) delete skin_;
  // A detach lets the old skin's images go; a skin handed over keeps the images it was just
  // loaded into.
  if (!skin) UICache::Destroy();
  skin_ = skin;
  tagLabels_.clear();
}

void CSkinState::Release() {
  delete skin_;
  skin_ = nullptr;
  UICache::Destroy();
  tagLabels_.clear();
}

BOOL CSkinState::HandleWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!skin_) return FALSE;
  return skin_->HandleWindowMessage(window, msg, wParam, lParam, FALSE);
}

CSkinElement* CSkinState::Find(int kind, LPCWSTR name) const { return skin_ ? skin_->FindElement(kind, name) : nullptr; }

void CSkinState::SetLabel(LPCWSTR name, LPCWSTR text, bool freeText) {
  CSkinElement* label = Find(SKIN_KIND_LABEL, name);
  if (!label) return;
  const int mark = 1;
  label->SendMessage(window_, SKM_SETTEXT, freeText ? reinterpret_cast<WPARAM>(&mark) : 0, reinterpret_cast<LPARAM>(text));
}

void CSkinState::SetOnOff(LPCWSTR name, BOOL on) {
  if (auto* button = static_cast<CSkinOnOffButton*>(Find(SKIN_KIND_ONOFF, name))) button->SetOn(on);
}

void CSkinState::SetFrame(LPCWSTR name, int frame) {
  if (auto* button = static_cast<CSkinCountButton*>(Find(SKIN_KIND_COUNTBUTTON, name))) button->SetIndex(frame);
}

void CSkinState::SetSlider(CSkinElement* slider, int position, int range) {
  if (slider) slider->SendMessage(window_, SKM_SETPOSITION, static_cast<WPARAM>(position), range);
}

void CSkinState::ShowTitle(LPCWSTR text, int index, int count) {
  if (text && wcsncmp(text, title_, 259) == 0 && index == currentIndex_ && count == itemCount_) return;
  currentIndex_ = index;
  itemCount_ = count;
  if (text) {
    // The buffer keeps its terminator however long the title.
    int i = 0;
    for (; text[i] && i < 259; ++i) title_[i] = text[i];
    title_[i] = 0;
  }
  SetLabel(u"SONGTITLE", title_, true);
  if (host_) host_->AnnounceTitle(title_);
  WCHAR number[32] = u"";
  if (index >= 0) wsprintfW(number, u"%d", index + 1);
  SetLabel(u"PLAYLISTINDEX", number, true);
  number[0] = 0;
  if (count > 0) wsprintfW(number, u"%d", count);
  SetLabel(u"PLAYLISTCOUNT", number, true);
  number[0] = 0;
  if (index >= 0 && count > 0) wsprintfW(number, u"%d of %d", index + 1, count);
  SetLabel(u"PLAYLISTINDEXCOUNT", number, true);
}

void CSkinState::ClockTick(DWORD now) {
  if (now - lastClockTick_ > 60000) {
    BYTE line = 0, flag = 0, percent = 0;
    int frame = 0;
    if (host_ && host_->GetPowerStatus(&line, &flag, &percent) && flag != 255) {
      if (line == 1) {
        frame = (flag & 8) ? 1 : 0;  // charging
      } else {
        frame = (flag & 4) ? 2 : percent == 255 ? 3 : 4 + std::min<int>(percent, 100) / 10;
      }
    }
    SetFrame(u"BATTERY", frame);
    if (host_) {
      const std::u16string clock = host_->FormatClock().substr(0, 31);
      SetLabel(u"CURRENTTIME", clock.c_str(), true);
    }
  }
  lastClockTick_ = now;
}

void CSkinState::ShowStatus(LPCWSTR text) {
  CSkinElement* status = Find(SKIN_KIND_LABEL, u"STATUS");
  if (!status) return;
  const int group = status->GetGroup();
  std::vector<CSkinElement*> others;
  if (group != -1) {
    // The run of consecutive members of the group, from its first one.
    bool inRun = false;
    for (int i = 0; i < skin_->GetElementCount(); ++i) {
      CSkinElement* e = skin_->GetElementAt(i);
      if (e->GetGroup() == group) {
        inRun = true;
        if (e != status) others.push_back(e);
      } else if (inRun) {
        break;
      }
    }
  }
  if (text && *text) {
    for (CSkinElement* e : others) e->SetVisible(FALSE);
    status->SetVisible(TRUE);
    status->SendMessage(window_, SKM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    skin_->DrawElement(status);
    return;
  }
  status->SendMessage(window_, SKM_SETTEXT, 0, reinterpret_cast<LPARAM>(u""));
  status->SetVisible(FALSE);
  for (size_t i = 0; i < others.size(); ++i) others[i]->SetVisible(i == 0);
  if (!others.empty()) skin_->DrawElement(others[0]);
}

void CSkinState::SetOffset(DWORD packed) {
  const DWORD x = LOWORD(packed), y = HIWORD(packed);
  if (x == offsetX_ && y == offsetY_) return;
  skin_->SetViewOffset(static_cast<int>(x), static_cast<int>(y));
  // Stored first: the playlist lays its areas out again from the origin it asks for.
  offsetX_ = x;
  offsetY_ = y;
  if (host_) host_->PlaylistHook(kSetOffsetMessage, packed);
}

void CSkinState::RefreshAll() {
  textHidden_ = FALSE;
  ShowTitle(nullptr, -1, 0);
  UpdateBitrateElement(kSkinKeepValue);
  UpdateSampleRateElement(kSkinKeepValue);
  UpdateStereoElements(kSkinKeepValue);
  UpdateTrackTimeElements(-1, -1, -1, -1);
  UpdateRepeatShuffleElements();
  UpdateEqualizerElements();
  UpdatePlayPauseElements();
  UpdateVolumeElements();
  UpdateMuteElement();
  UpdateDspElements();
  if (auto* name = static_cast<CSkinLabel*>(Find(SKIN_KIND_LABEL, u"EQNAME"))) name->SetSeparator(u" / ");
  const DWORD now = GetTickCount();
  lastClockTick_ = now - 3600000;
  ClockTick(now);
  SetOnOff(u"LOCKED", lockedState_);
}

int CSkinState::HandleUiCommand(int id, void* value) {
  if (!skin_) return 0;
  for (const auto& q : kPragmaQueries)
    if (q.id == id) return skin_->GetPragma(q.pragma);
  const auto word = static_cast<int>(reinterpret_cast<INT_PTR>(value));
  const auto text = static_cast<LPCWSTR>(value);
  switch (id) {
    case 0:
      RefreshAll();
      return 0;
    case 1:
      ScrollTexts(value != nullptr);
      return 0;
    case 2:
      UpdateStereoElements(word);
      return 0;
    case 3:
      UpdateSampleRateElement(word);
      return 0;
    case 4:
      UpdateBitrateElement(word);
      return 0;
    case 6:
      ShowTitle(text, host_ ? host_->GetCurrentIndex() : -1, host_ ? host_->GetItemCount() : 0);
      return 0;
    case 7:
      SetSlider(Find(SKIN_KIND_SLIDER, u"VOLUME"), word, 255);
      return 0;
    case 8:
    case 9:
      if (value) skin_->PaintAll(window_, static_cast<HDC>(value));
      return 1;
    case 10:
      return text ? static_cast<int>(reinterpret_cast<INT_PTR>(skin_->FindElementByName(text))) : 0;
    case 11:
      if (host_) host_->SetSetting(SKIN_SETTING_SHOWING_ELAPSED, !host_->GetSetting(SKIN_SETTING_SHOWING_ELAPSED));
      UpdateTrackTimeElements(-1, -1, -1, -1);
      return 0;
    case 13:
      SetOffset(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(value)));
      return 0;
    case 14:
      return static_cast<int>(offsetX_ | offsetY_ << 16);
    case 15:
      return skin_->GetPragma(value ? 7 : 2);
    case 16: {
      const auto* record = static_cast<const SkinElementMessage*>(value);
      CSkinElement* element = record && record->name ? skin_->FindElementByName(record->name) : nullptr;
      return element ? static_cast<int>(element->SendMessage(window_, record->message, record->words[0], record->words[1])) : 0;
    }
    case 21:
      ShowTagLabels(static_cast<IMediaItem*>(value));
      return 0;
    case 22:
      return skin_->HasVisibleElement(u"STOP") ? 1 : 0;
    case 23: {
      const auto* record = static_cast<const SkinNamedCommand*>(value);
      if (record && record->name && record->message == SKN_CLICKED) RunNamedClick(this, record->name, record->argument);
      return 0;
    }
    case 24:
      seekPreview_ = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(value));
      UpdateTrackTimeElements(-1, -1, -1, -1);
      return 0;
    case 27:
      ClockTick(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(value)));
      return 0;
    case 28:
      lockedState_ = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(value));
      SetOnOff(u"LOCKED", lockedState_);
      return 0;
    case 29:
      ShowStatus(text);
      return 0;
    case 30: {
      CSkinElement* element = text ? skin_->FindElementByName(text) : nullptr;
      RECT r{};
      if (element) element->GetRect(&r);
      return element && !IsRectEmpty(&r) ? 1 : 0;
    }
    default:
      return 0;
  }
}
