// The player's own command target: each command goes to the player core object. Steps whose
// transport is not in the core yet are seams that log and answer as if nothing were open.
#include "core/command_target.h"

#include "core/core_seam.h"
#include "core/player_core.h"

namespace {

class CCoreCommandTarget final : public ICommandTarget {
 public:
  BOOL IsPlaying() override {
    CPlayerCore* core = PeekPlayerCore();
    return core && core->IsPlaying();
  }
  int IsPaused() override { return Seam(u"IsPaused", 0); }
  int IsSeekable() override { return Seam(u"IsSeekable", 0); }
  void Play() override { LogSeam(u"Play"); }
  void TogglePause() override { LogSeam(u"TogglePause"); }
  void Stop(BOOL) override { LogSeam(u"Stop"); }
  void NextItem() override { LogSeam(u"NextItem"); }
  void PreviousItem() override { LogSeam(u"PreviousItem"); }
  void OnStreamEnded(int) override { LogSeam(u"OnStreamEnded"); }
  int SeekTo(int) override { return Seam(u"SeekTo", 0); }
  int SeekRelative(int) override { return Seam(u"SeekRelative", 0); }
  int GetOutputTime() override { return Seam(u"GetOutputTime", 0); }
  int GetLength() override { return Seam(u"GetLength", -1); }

  int GetVolume() override {
    CPlayerCore* core = PeekPlayerCore();
    return core ? core->GetVolume() : 0;
  }
  void SetVolume(int) override { LogSeam(u"SetVolume"); }
  BOOL IsMuted() override { return Seam(u"IsMuted", FALSE); }
  void SetMute(BOOL) override { LogSeam(u"SetMute"); }
  void SetPan(int) override { LogSeam(u"SetPan"); }

  BOOL GetRepeat() override { return Seam(u"GetRepeat", FALSE); }
  void SetRepeat(BOOL) override { LogSeam(u"SetRepeat"); }
  BOOL GetShuffle() override { return Seam(u"GetShuffle", FALSE); }
  void SetShuffle(BOOL) override { LogSeam(u"SetShuffle"); }

  int GetEqValue(int index) override {
    CPlayerCore* core = PeekPlayerCore();
    return core ? core->GetEqValue(index) : 0;
  }
  void SetEqValue(int, int) override { LogSeam(u"SetEqValue"); }

  int GetCurrentIndex() override { return Seam(u"GetCurrentIndex", -1); }
  int GetItemCount() override { return Seam(u"GetItemCount", 0); }
  int SelectItem(int) override { return Seam(u"SelectItem", 0); }
  int RemoveItem(int) override { return Seam(u"RemoveItem", 0); }
  int RefreshItemInfo(int) override { return Seam(u"RefreshItemInfo", 0); }
  std::u16string GetItemPath(int) override { return Seam(u"GetItemPath", std::u16string()); }
  std::u16string GetItemDisplayName(int) override { return Seam(u"GetItemDisplayName", std::u16string()); }
  int SetItemTitle(int, LPCWSTR) override { return Seam(u"SetItemTitle", 0); }
  int InsertItem(int, LPCWSTR) override { return Seam(u"InsertItem", 0); }
  int AddFilesFromPath(LPCWSTR) override { return Seam(u"AddFilesFromPath", 0); }
  void EnqueuePath(LPCWSTR, BOOL) override { LogSeam(u"EnqueuePath"); }
  int SavePlaylist(LPCWSTR) override { return Seam(u"SavePlaylist", 0); }

  void StoreBookmark() override { LogSeam(u"StoreBookmark"); }
  void ResumeFromBookmark() override { LogSeam(u"ResumeFromBookmark"); }
  void SetVisMode(int) override { LogSeam(u"SetVisMode"); }
  int GetVisValue(int) override { return Seam(u"GetVisValue", 0); }
  void SwitchVisPlugin() override { LogSeam(u"SwitchVisPlugin"); }

 private:
  template <class T>
  static T Seam(LPCWSTR step, T answer) {
    LogSeam(step);
    return answer;
  }
};

CCoreCommandTarget g_coreTarget;
ICommandTarget* g_target = nullptr;

}  // namespace

ICommandTarget* GetCommandTarget() { return g_target ? g_target : &g_coreTarget; }

void SetCommandTarget(ICommandTarget* target) { g_target = target; }
