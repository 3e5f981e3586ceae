// The player's own command target: each command goes to the player core object (nothing happens
// while there is none). Steps the core does not have yet are seams that log and answer as if
// nothing were open.
#include "core/window/command_target.h"

#include <functional>

#include "core/player/core_seam.h"
#include "core/player/player_core.h"

namespace {

class CCoreCommandTarget final : public ICommandTarget {
 public:
  BOOL IsPlaying() override { return Ask(&CPlayerCore::IsPlaying, FALSE); }
  int IsPaused() override { return Ask(&CPlayerCore::IsPaused, 1); }
  int IsSeekable() override { return Ask(&CPlayerCore::IsSeekable, 0); }
  void Play() override { Tell([](CPlayerCore* core) { core->Play(FALSE); }); }
  void TogglePause() override { Tell([](CPlayerCore* core) { core->TogglePause(); }); }
  void Stop(BOOL userStop) override { Tell([userStop](CPlayerCore* core) { core->Stop(userStop); }); }
  void NextItem() override { Tell([](CPlayerCore* core) { core->NextItem(TRUE); }); }
  void PreviousItem() override { Tell([](CPlayerCore* core) { core->PreviousItem(); }); }
  void OnStreamEnded(int kind) override { Tell([kind](CPlayerCore* core) { core->OnStreamEnded(kind); }); }
  int SeekTo(int ms) override { return Ask([ms](CPlayerCore* core) { return core->SeekTo(ms, 0); }, 0); }
  int SeekRelative(int deltaMs) override {
    return Ask([deltaMs](CPlayerCore* core) { return core->SeekRelative(deltaMs); }, 0);
  }
  int GetOutputTime() override { return Ask(&CPlayerCore::GetOutputTime, 0); }
  int GetLength() override {
    return Ask([](CPlayerCore* core) { return core->IsPlaying() ? core->GetLength() : -1; }, -1);
  }

  int GetVolume() override { return Ask(&CPlayerCore::GetVolume, 0); }
  void SetVolume(int volume) override { Tell([volume](CPlayerCore* core) { core->SetVolume(volume); }); }
  BOOL IsMuted() override { return Ask(&CPlayerCore::IsMuted, FALSE); }
  void SetMute(BOOL muted) override { Tell([muted](CPlayerCore* core) { core->SetMute(muted); }); }
  void SetPan(int pan) override { Tell([pan](CPlayerCore* core) { core->SetPan(pan); }); }

  BOOL GetRepeat() override { return Ask(&CPlayerCore::GetRepeat, FALSE); }
  void SetRepeat(BOOL on) override { Tell([on](CPlayerCore* core) { core->SetRepeat(on); }); }
  BOOL GetShuffle() override { return Ask(&CPlayerCore::GetShuffle, FALSE); }
  void SetShuffle(BOOL on) override { Tell([on](CPlayerCore* core) { core->SetShuffle(on); }); }

  int GetEqValue(int index) override {
    return Ask([index](CPlayerCore* core) { return core->GetEqValue(index); }, 0);
  }
  void SetEqValue(int, int) override { LogSeam(u"SetEqValue"); }

  int GetCurrentIndex() override { return Ask(&CPlayerCore::GetCurrentIndex, -1); }
  int GetItemCount() override { return Ask(&CPlayerCore::GetItemCount, 0); }
  int SelectItem(int index) override { return Ask([index](CPlayerCore* core) { return core->SelectItem(index); }, 0); }
  int RemoveItem(int index) override { return Ask([index](CPlayerCore* core) { return core->RemoveItem(index); }, 0); }
  int RefreshItemInfo(int index) override {
    return Ask([index](CPlayerCore* core) { return core->RefreshItemInfo(index); }, 0);
  }
  std::u16string GetItemPath(int index) override {
    return Ask([index](CPlayerCore* core) { return core->GetItemPath(index); }, std::u16string());
  }
  std::u16string GetItemDisplayName(int index) override {
    return Ask([index](CPlayerCore* core) { return core->GetItemDisplayName(index); }, std::u16string());
  }
  int SetItemTitle(int, LPCWSTR) override { return Seam(u"SetItemTitle", 0); }
  int InsertItem(int index, LPCWSTR path) override {
    return Ask([index, path](CPlayerCore* core) { return core->InsertItem(index, path); }, -1);
  }
  int AddFilesFromPath(LPCWSTR path) override {
    return Ask([path](CPlayerCore* core) { return core->AddFilesFromPath(path); }, -1);
  }
  void EnqueuePath(LPCWSTR path, BOOL play) override {
    Tell([path, play](CPlayerCore* core) { core->EnqueuePath(path, play); });
  }
  int SavePlaylist(LPCWSTR) override { return Seam(u"SavePlaylist", 0); }

  void StoreBookmark() override { Tell([](CPlayerCore* core) { core->ReplaceBookmarkForCurrent(); }); }
  void ResumeFromBookmark() override {
    Tell([](CPlayerCore* core) {
      // The numbered bookmark of the item that plays, if it has one.
      const std::u16string current = core->GetCurrentPath();
      for (int i = 0;; ++i) {
        LONG position = -1;
        const std::u16string path = core->GetBookmarkText(i, &position);
        if (path.empty()) return;
        if (_wcsicmp(path.c_str(), current.c_str()) == 0) {
          core->SeekTo(position, 0);
          return;
        }
      }
    });
  }
  void SetVisMode(int mode) override { Tell([mode](CPlayerCore* core) { core->SetVisMode(mode); }); }
  int GetVisValue(int which) override {
    return Ask([which](CPlayerCore* core) { return core->GetVisHost()->GetValue(which); }, 0);
  }
  void SwitchVisPlugin() override { Tell([](CPlayerCore* core) { core->GetVisHost()->SwitchPlugin(); }); }

 private:
  template <class T>
  static T Seam(LPCWSTR step, T answer) {
    LogSeam(step);
    return answer;
  }
  // The core's answer, or `none` while there is no core.
  template <class Call, class T>
  static T Ask(Call call, T none) {
    CPlayerCore* core = PeekPlayerCore();
    return core ? static_cast<T>(std::invoke(call, core)) : none;
  }
  template <class Call>
  static void Tell(Call call) {
    if (CPlayerCore* core = PeekPlayerCore()) call(core);
  }
};

CCoreCommandTarget g_coreTarget;
ICommandTarget* g_target = nullptr;

}  // namespace

ICommandTarget* GetCommandTarget() { return g_target ? g_target : &g_coreTarget; }

void SetCommandTarget(ICommandTarget* target) { g_target = target; }
