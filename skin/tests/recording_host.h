// A skin host for the skin state's and the element commands' tests: it keeps a small player
// state that a test sets, and records each command as a line ("Seek -10000", "Volume 128"), so
// a test reads what a tap did.
#pragma once
#include <map>
#include <utility>
#include <string>
#include <vector>

#include "skin/skin_host.h"
#include "device/text.h"

namespace zb::testing {

class RecordingHost : public ISkinHost {
 public:
  std::vector<std::string> calls;
  BOOL playing = FALSE;
  int paused = 1, seekable = 1, volume = 200, index = -1, count = 0;
  BOOL muted = FALSE, shuffle = FALSE, repeat = FALSE, smartphone = FALSE;
  int settings[SKIN_SETTING_COUNT] = {};
  int eq[14] = {};  // codes -3..9 at code + 3 (plus room)
  std::u16string eqName = u"Rock", dspName;
  SkinDspState dsp = SKIN_DSP_NONE;
  BOOL powerOk = TRUE;
  BYTE acLine = 1, batteryFlag = 1, batteryPercent = 100;
  std::u16string clock = u"9:41 AM";
  std::vector<std::u16string> titles;  // announced
  std::vector<std::pair<std::u16string, LONG>> bookmarks;
  LONG resume = -1;
  std::u16string openAnswer;
  std::map<int, int> preChosen;  // menu slot -> id the plug-ins choose before the menu shows

  std::vector<std::string> Take() { return std::exchange(calls, {}); }
  void Note(const std::string& s) { calls.push_back(s); }

  BOOL IsPlaying() override { return playing; }
  int IsPaused() override { return paused; }
  int IsSeekable() override { return seekable; }
  void Play() override { Note("Play"); }
  void TogglePause() override { Note("TogglePause"); }
  void Stop() override { Note("Stop"); }
  void PreviousItem() override { Note("Previous"); }
  void NextItem() override { Note("Next"); }
  void SeekRelative(int delta) override { Note("Seek " + std::to_string(delta)); }
  void SeekTo(int value, int scale) override { Note("SeekTo " + std::to_string(value) + "/" + std::to_string(scale)); }
  int GetVolume() override { return volume; }
  void SetVolume(int v) override { Note("Volume " + std::to_string(v)); }
  void ChangeVolume(int d) override { Note("ChangeVolume " + std::to_string(d)); }
  BOOL IsMuted() override { return muted; }
  void SetMute(BOOL m) override { Note("Mute " + std::to_string(m)); }
  BOOL GetShuffle() override { return shuffle; }
  void SetShuffle(BOOL on) override { Note("Shuffle " + std::to_string(on)); }
  BOOL GetRepeat() override { return repeat; }
  void SetRepeat(BOOL on) override { Note("Repeat " + std::to_string(on)); }
  int GetCurrentIndex() override { return index; }
  int GetItemCount() override { return count; }
  int GetSetting(SkinSetting s) override { return settings[s]; }
  void SetSetting(SkinSetting s, int v) override {
    Note("Setting " + std::to_string(s) + " " + std::to_string(v));
    settings[s] = v;
  }
  int GetEqValue(int code) override { return code >= -3 && code <= 9 ? eq[code + 3] : 0; }
  void SetEqValue(int code, int value) override { Note("Eq " + std::to_string(code) + " " + std::to_string(value)); }
  std::u16string GetEqName() override { return eqName; }
  std::u16string GetDspName(SkinDspState* state) override {
    *state = dsp;
    return dspName;
  }
  void RunWindowCommand(int command) override { Note("Window " + std::to_string(command)); }
  int RunNamedCommand(LPCWSTR name, UINT message) override {
    Note("Named " + ToUtf8(name) + " " + std::to_string(message));
    return 0;
  }
  void SetVisMode(int mode) override { Note("Vis " + std::to_string(mode)); }
  void OpenPlaylistDialog() override { Note("PlaylistDialog"); }
  void ScrollPlaylist(int mode, int a, int b) override {
    Note("Scroll " + std::to_string(mode) + " " + std::to_string(a) + " " + std::to_string(b));
  }
  BOOL IsLargeView() override { return FALSE; }
  std::u16string ShowOpenDialog(int mode) override {
    Note("OpenDialog " + std::to_string(mode));
    return openAnswer;
  }
  void EnqueuePath(LPCWSTR path, BOOL add) override { Note("Enqueue " + ToUtf8(path) + " " + std::to_string(add)); }
  IMediaItem* GetPlayingItem() override { return nullptr; }
  void RatePlayingItem(int rating) override { Note("Rate " + std::to_string(rating)); }
  BOOL GetPowerStatus(BYTE* line, BYTE* flag, BYTE* percent) override {
    *line = acLine, *flag = batteryFlag, *percent = batteryPercent;
    return powerOk;
  }
  std::u16string FormatClock() override { return clock; }
  void AnnounceTitle(LPCWSTR title) override { titles.push_back(title); }
  void PlaylistHook(UINT message, WPARAM wParam) override {
    Note("PlaylistHook " + std::to_string(message) + " " + std::to_string(wParam));
  }
  int RunMenuHooks(HMENU, int slot, int mode, int value) override {
    if (mode == 0) {
      auto it = preChosen.find(slot);
      return it == preChosen.end() ? -1 : it->second;
    }
    return value;
  }
  std::u16string GetBookmarkText(int i, LONG* position) override {
    if (i < 0 || i >= static_cast<int>(bookmarks.size())) return {};
    *position = bookmarks[i].second;
    return bookmarks[i].first;
  }
  LONG GetResumePosition() override { return resume; }
  std::u16string GetLocalContentName() override { return u"Local Content"; }
  BOOL IsSmartphone() override { return smartphone; }
  void RunMenuCommand(int id) override { Note("Menu " + std::to_string(id)); }
};

}  // namespace zb::testing
