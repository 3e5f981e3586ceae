// A command target for the window's and the dispatcher's tests: it keeps a small player state
// (playing, paused, volume, play order, a playlist of paths) and records each call as a line
// ("Next", "SeekRelative 5000", "Enqueue \Music\b.mp3 0"), so a test reads what a command did.
#pragma once
#include <string>
#include <vector>

#include "core/window/command_target.h"
#include "device/text.h"

namespace zb::testing {

class RecordingTarget : public ICommandTarget {
 public:
  RecordingTarget() { SetCommandTarget(this); }
  ~RecordingTarget() override { SetCommandTarget(nullptr); }

  std::vector<std::string> calls;
  BOOL playing = FALSE;
  int paused = 0;
  int seekable = 1;
  int volume = 200;
  BOOL muted = FALSE;
  BOOL repeat = FALSE;
  BOOL shuffle = FALSE;
  int position = 0;
  int length = 180000;
  std::vector<std::u16string> items;

  std::vector<std::string> Take() { return std::exchange(calls, {}); }

  BOOL IsPlaying() override { return playing; }
  int IsPaused() override { return paused; }
  int IsSeekable() override { return seekable; }
  void Play() override { Note("Play"); }
  void TogglePause() override { Note("TogglePause"); }
  void Stop(BOOL user) override {
    Note("Stop " + std::to_string(user));
    playing = FALSE;
  }
  void NextItem() override { Note("Next"); }
  void PreviousItem() override { Note("Previous"); }
  void OnStreamEnded(int kind) override { Note("StreamEnded " + std::to_string(kind)); }
  int SeekTo(int ms) override {
    Note("SeekTo " + std::to_string(ms));
    position = ms;
    return 1;
  }
  int SeekRelative(int delta) override {
    Note("SeekRelative " + std::to_string(delta));
    position += delta;
    return 1;
  }
  int GetOutputTime() override { return position; }
  int GetLength() override { return playing ? length : -1; }
  int GetVolume() override { return volume; }
  void SetVolume(int v) override {
    Note("SetVolume " + std::to_string(v));
    if (v != -666) volume = v;
  }
  BOOL IsMuted() override { return muted; }
  void SetMute(BOOL m) override {
    Note("SetMute " + std::to_string(m));
    muted = m;
  }
  void SetPan(int pan) override { Note("SetPan " + std::to_string(pan)); }
  BOOL GetRepeat() override { return repeat; }
  void SetRepeat(BOOL on) override { repeat = on; }
  BOOL GetShuffle() override { return shuffle; }
  void SetShuffle(BOOL on) override { shuffle = on; }
  int GetEqValue(int index) override { return index == -2 ? 1 : 31; }
  void SetEqValue(int index, int value) override {
    Note("SetEq " + std::to_string(index) + " " + std::to_string(value));
  }
  int GetCurrentIndex() override { return items.empty() ? -1 : 0; }
  int GetItemCount() override { return static_cast<int>(items.size()); }
  int SelectItem(int index) override { return index < GetItemCount(); }
  int RemoveItem(int index) override { return index < GetItemCount(); }
  int RefreshItemInfo(int) override { return 1; }
  std::u16string GetItemPath(int index) override {
    return index >= 0 && index < GetItemCount() ? items[index] : std::u16string();
  }
  std::u16string GetItemDisplayName(int index) override { return u"Name of " + GetItemPath(index); }
  int SetItemTitle(int index, LPCWSTR title) override {
    Note("SetItemTitle " + std::to_string(index) + " " + zb::ToUtf8(title));
    return 1;
  }
  int InsertItem(int index, LPCWSTR path) override {
    Note("Insert " + std::to_string(index) + " " + zb::ToUtf8(path));
    return 1;
  }
  int AddFilesFromPath(LPCWSTR path) override {
    Note("AddFiles " + zb::ToUtf8(path));
    return 1;
  }
  void EnqueuePath(LPCWSTR path, BOOL play) override {
    Note("Enqueue " + zb::ToUtf8(path) + " " + std::to_string(play));
    items.push_back(path);
  }
  int SavePlaylist(LPCWSTR file) override {
    Note("SavePlaylist " + zb::ToUtf8(file));
    return 1;
  }
  void StoreBookmark() override { Note("StoreBookmark"); }
  void ResumeFromBookmark() override { Note("ResumeFromBookmark"); }
  void SetVisMode(int mode) override { Note("SetVisMode " + std::to_string(mode)); }
  int GetVisValue(int which) override { return which + 10; }
  void SwitchVisPlugin() override { Note("SwitchVisPlugin"); }

 private:
  void Note(const std::string& line) { calls.push_back(line); }
};

}  // namespace zb::testing
