// CSkinState: what sits between the player core and the current skin. It owns the skin model
// (and with it the UICache's images), passes the skin window's paint and stylus messages to it,
// and pushes the player's state into the skin's conventionally named elements. A skin that lacks
// an element does not show that value; nothing fails.
#pragma once
#include <windows.h>

#include <vector>

#include "skin/skin_host.h"

class CSkin;
class CSkinElement;

// User-interface command 16's record: the element's name, then the message and its arguments.
struct SkinElementMessage {
  LPCWSTR name;
  UINT message;
  DWORD words[3];
};

// User-interface command 23's record: a command run by element name.
struct SkinNamedCommand {
  LPCWSTR name;
  DWORD unused;
  UINT message;
  DWORD argument;
};

// The value that leaves a stored stream figure as it is.
constexpr int kSkinKeepValue = -666;

class CSkinState {
 public:
  CSkinState(HWND window, ISkinHost* host);
  ~CSkinState() { Release(); }
  CSkinState(const CSkinState&) = delete;
  CSkinState& operator=(const CSkinState&) = delete;

  // Takes ownership of the skin; the old skin goes, and the UICache with it. Null detaches.
  void SetSkin(CSkin* skin);
  CSkin* GetSkin() const { return skin_; }
  ISkinHost* GetHost() const { return host_; }
  void Release();

  // The skin window's paint, capture and stylus messages: 1 when the skin took one.
  BOOL HandleWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  // User-interface commands 0-30; 0 for an id it does not know and while no skin is loaded.
  int HandleUiCommand(int id, void* value);

  void UpdateBitrateElement(int kbps);
  void UpdateSampleRateElement(int khz);
  void UpdateStereoElements(int mode);
  int GetBitrate() const { return bitrate_; }
  int GetSampleRate() const { return sampleRate_; }
  int GetChannelMode() const { return channelMode_; }
  void UpdateRepeatShuffleElements();
  void UpdateDspElements();
  // Length in seconds (<= 0 not seekable, -1 the stored one) and the elapsed time; -1 in all
  // four redraws from the stored values.
  void UpdateTrackTimeElements(int length, int hours, int minutes, int seconds);
  void UpdateEqualizerElements();
  void UpdatePlayPauseElements();
  void UpdateVolumeElements();
  void UpdateMuteElement();
  BOOL UpdatePlaylistScrollElements(BOOL visible);
  void UpdatePlaylistScrollBar(int position, int range);
  void ShowTextElements(BOOL visible);

  LPCWSTR GetTitle() const { return title_; }

 private:
  CSkinElement* Find(int kind, LPCWSTR name) const;
  void SetLabel(LPCWSTR name, LPCWSTR text, bool freeText = false);
  void SetOnOff(LPCWSTR name, BOOL on);
  void SetFrame(LPCWSTR name, int frame);
  void SetSlider(CSkinElement* slider, int position, int range);
  void ShowTitle(LPCWSTR text, int index, int count);
  void ShowTagLabels(struct IMediaItem* item);
  void ScrollTexts(BOOL on);
  void ClockTick(DWORD now);
  void ShowStatus(LPCWSTR text);
  void ShowTrackViewLabels(WCHAR lead, int h, int m, int s);
  void SetOffset(DWORD packed);
  void RefreshAll();

  HWND window_;
  ISkinHost* host_;
  CSkin* skin_ = nullptr;
  int elapsedHours_ = 0, elapsedMinutes_ = 0, elapsedSeconds_ = 0;
  int lengthSeconds_ = 0;
  DWORD seekPreview_ = 0xFFFFFFFF;
  WCHAR title_[260] = u"Welcome to Zonbrel 3.5";
  int currentIndex_ = -1, itemCount_ = -1;
  DWORD lockedState_ = 0;
  int bitrate_ = 128, sampleRate_ = 44, channelMode_ = 0;
  DWORD offsetX_ = 0, offsetY_ = 0;
  BOOL textHidden_ = FALSE;
  std::vector<int> tagLabels_;
  DWORD lastClockTick_;
};
