// The skin state's element updates from the player: stream figures, play order, DSP, equaliser,
// transport, volume and mute, the playlist's scroll elements, and hiding the text elements.
#include "skin/skin.h"
#include "skin/skin_button.h"
#include "skin/skin_label.h"
#include "skin/skin_messages.h"
#include "skin/skin_panel.h"
#include "skin/skin_state.h"

namespace {

// The elements hidden while the visualisation fills the screen (with the tag labels).
constexpr LPCWSTR kTextElements[] = {u"SONGTITLE",     u"MONO",          u"STEREO",     u"BITRATE",    u"KHZ",
                                     u"TRACK",         u"TRACKLENGTH",   u"TRACKVIEW",  u"TRACKVIEWSIGN",
                                     u"TRACKVIEW100H", u"TRACKVIEWH",    u"TRACKVIEWM", u"TRACKVIEWS",
                                     u"EQNAME"};

constexpr LPCWSTR kPlaylistScrollElements[] = {u"PLAYLISTSCROLLBAR", u"PLAYLISTSCROLLUP", u"PLAYLISTSCROLLDOWN"};

void ShowElement(CSkin* skin, CSkinElement* element, BOOL visible) {
  if (!element || (element->IsVisible() != FALSE) == (visible != FALSE)) return;
  element->SetVisible(visible);
  if (visible) {
    skin->DrawElement(element);
    return;
  }
  RECT r;
  element->GetRect(&r);
  const POINT origin = skin->WindowToSkin(POINT{0, 0});
  OffsetRect(&r, -origin.x, -origin.y);
  InvalidateRect(skin->GetWindow(), &r, FALSE);
}

}  // namespace

void CSkinState::UpdateBitrateElement(int kbps) {
  if (kbps != kSkinKeepValue) bitrate_ = kbps;
  WCHAR text[16];
  wsprintfW(text, u"%3d", bitrate_ < 0 ? -bitrate_ : bitrate_);
  SetLabel(u"BITRATE", text);
}

void CSkinState::UpdateSampleRateElement(int khz) {
  if (khz != kSkinKeepValue) sampleRate_ = khz;
  WCHAR text[16];
  wsprintfW(text, u"%d", sampleRate_);
  SetLabel(u"KHZ", text);
}

void CSkinState::UpdateStereoElements(int mode) {
  if (mode != kSkinKeepValue) channelMode_ = mode;
  if (channelMode_ < 0 || channelMode_ > 2) return;
  SetOnOff(u"MONO", channelMode_ == 1);
  SetOnOff(u"STEREO", channelMode_ == 2);
}

void CSkinState::UpdateRepeatShuffleElements() {
  if (!host_) return;
  SetOnOff(u"SHUFFLE", host_->GetShuffle());
  SetOnOff(u"REPEAT", host_->GetRepeat());
}

void CSkinState::UpdateDspElements() {
  if (!host_) return;
  SetOnOff(u"DSPTOGGLE", host_->GetSetting(SKIN_SETTING_DSP_ENABLED));
  SkinDspState state = SKIN_DSP_NONE;
  const std::u16string name = host_->GetDspName(&state);
  SetLabel(u"DSPNAME", state == SKIN_DSP_ENABLED ? name.c_str() : state == SKIN_DSP_DISABLED ? u"Disabled" : u"Off");
}

void CSkinState::UpdateEqualizerElements() {
  if (!skin_ || !host_) return;
  CSkin* skins[] = {skin_, nullptr};
  if (auto* panel = static_cast<CSkinPanel*>(Find(SKIN_KIND_PANEL, u"EQPANEL"))) skins[1] = panel->Inner();
  CSkin* const outer = skin_;
  const BOOL on = host_->GetSetting(SKIN_SETTING_PREAMP_ENABLED);
  const std::u16string name = on ? host_->GetEqName() : std::u16string(u"Off");
  for (CSkin* skin : skins) {
    if (!skin) continue;
    skin_ = skin;  // the same lookups on the panel's inner skin
    SetOnOff(u"EQUALIZER", on);
    SetOnOff(u"EQON", on);
    SetOnOff(u"AUTOON", host_->GetSetting(SKIN_SETTING_AUTOLOAD_EQ));
    for (int band = 0; band < 10; ++band) {
      WCHAR slider[16];
      wsprintfW(slider, u"EQUALIZER%d", band);
      SetSlider(Find(SKIN_KIND_SLIDER, slider), host_->GetEqValue(band), 63);
    }
    SetSlider(Find(SKIN_KIND_SLIDER, u"PREAMP"), host_->GetSetting(SKIN_SETTING_PREAMP_VALUE), 63);
    SetLabel(u"EQNAME", name.c_str());
  }
  skin_ = outer;
}

void CSkinState::UpdatePlayPauseElements() {
  if (!host_) return;
  const int paused = host_->IsPaused();
  if (auto* button = static_cast<CSkinOnOffButton*>(Find(SKIN_KIND_ONOFF, u"PLAYPAUSE")))
    if (button->IsOn() != !paused) button->SetOn(!paused);
  const BOOL seekable = host_->IsSeekable();
  SetFrame(u"PLAYPAUSESTOP", seekable ? (paused ? 0 : 1) : (paused ? 0 : 2));
  SetFrame(u"PLAYPAUSESTATE", !host_->IsPlaying() ? 0 : paused ? 2 : 1);
}

void CSkinState::UpdateVolumeElements() {
  if (!host_) return;
  const int volume = host_->GetVolume();
  WCHAR text[16];
  wsprintfW(text, u"%d%%", volume * 100 / 255);
  SetLabel(u"VOLUMEPERCENT", text);
  if (CSkinElement* slider = Find(SKIN_KIND_SLIDER, u"VOLUME")) {
    const LRESULT orientation = slider->SendMessage(window_, 1244, 0, 0);
    SetSlider(slider, orientation == 2 ? 255 - volume : volume, 255);
  }
}

void CSkinState::UpdateMuteElement() {
  if (host_) SetOnOff(u"MUTE", host_->IsMuted());
}

BOOL CSkinState::UpdatePlaylistScrollElements(BOOL visible) {
  if (!skin_) return FALSE;
  BOOL any = FALSE;
  for (LPCWSTR name : kPlaylistScrollElements) {
    if (CSkinElement* e = skin_->FindElementByName(name)) {
      ShowElement(skin_, e, visible);
      any = TRUE;
    }
  }
  return any;
}

void CSkinState::UpdatePlaylistScrollBar(int position, int range) {
  SetSlider(Find(SKIN_KIND_SLIDER, u"PLAYLISTSCROLLBAR"), position, range);
}

void CSkinState::ShowTextElements(BOOL visible) {
  const BOOL hidden = !visible;
  if (!skin_ || hidden == textHidden_) {
    textHidden_ = hidden;
    return;
  }
  for (LPCWSTR name : kTextElements) ShowElement(skin_, skin_->FindElementByName(name), visible);
  for (int index : tagLabels_) ShowElement(skin_, skin_->GetElementAt(index), visible);
  textHidden_ = hidden;
}
