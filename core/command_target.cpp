// The player's own command target: each command goes to the player core object. The few steps
// the core has no entry for yet (the equaliser's setter, an item's title, saving the playlist,
// the visualisation values) are seams that log and answer as if nothing happened.
#include "core/command_target.h"

#include "core/core_seam.h"
#include "core/player_core.h"

namespace {

class CCoreCommandTarget final : public ICommandTarget {
 public:
  BOOL IsPlaying() override { return Core() && Core()->IsPlaying(); }
  int IsPaused() override { return Core() && Core()->IsPlaying() ? Core()->IsPaused() : 0; }
  int IsSeekable() override { return Core() ? Core()->IsSeekable() : 0; }
  void Play() override { Run([](CPlayerCore* c) { c->Play(FALSE); }); }
  void TogglePause() override { Run([](CPlayerCore* c) { c->TogglePause(); }); }
  void Stop(BOOL userStop) override { Run([userStop](CPlayerCore* c) { c->Stop(userStop); }); }
  void NextItem() override { Run([](CPlayerCore* c) { c->NextItem(TRUE); }); }
  void PreviousItem() override { Run([](CPlayerCore* c) { c->PreviousItem(); }); }
  void OnStreamEnded(int kind) override { Run([kind](CPlayerCore* c) { c->OnStreamEnded(kind); }); }
  int SeekTo(int ms) override { return Core() ? Core()->SeekTo(ms, 0) : 0; }
  int SeekRelative(int deltaMs) override { return Core() ? Core()->SeekRelative(deltaMs) : 0; }
  int GetOutputTime() override { return Core() ? Core()->GetOutputTime() : 0; }
  int GetLength() override { return IsPlaying() ? Core()->GetLength() : -1; }
  void RefreshNowPlaying() override { Run([](CPlayerCore* c) { c->RefreshNowPlaying(); }); }

  int GetVolume() override { return Core() ? Core()->GetVolume() : 0; }
  void SetVolume(int volume) override { Run([volume](CPlayerCore* c) { c->SetVolume(volume); }); }
  BOOL IsMuted() override { return Core() && Core()->IsMuted(); }
  void SetMute(BOOL muted) override { Run([muted](CPlayerCore* c) { c->SetMute(muted); }); }
  void SetPan(int pan) override { Run([pan](CPlayerCore* c) { c->SetPan(pan); }); }

  BOOL GetRepeat() override { return Core() && Core()->GetRepeat(); }
  void SetRepeat(BOOL on) override { Run([on](CPlayerCore* c) { c->SetRepeat(on); }); }
  BOOL GetShuffle() override { return Core() && Core()->GetShuffle(); }
  void SetShuffle(BOOL on) override { Run([on](CPlayerCore* c) { c->SetShuffle(on); }); }

  int GetEqValue(int index) override { return Core() ? Core()->GetEqValue(index) : 0; }
  void SetEqValue(int, int) override { LogSeam(u"CPlayerCore::SetEqValue"); }

  int GetCurrentIndex() override { return Core() ? Core()->GetCurrentIndex() : -1; }
  int GetItemCount() override { return Core() ? Core()->GetItemCount() : 0; }
  int SelectItem(int index) override { return Core() ? Core()->SelectItem(index) : 0; }
  int RemoveItem(int index) override { return Core() ? Core()->RemoveItem(index) : 0; }
  int RefreshItemInfo(int index) override { return Core() ? Core()->RefreshItemInfo(index) : 0; }
  std::u16string GetItemPath(int index) override { return Core() ? Core()->GetItemPath(index) : std::u16string(); }
  std::u16string GetItemDisplayName(int index) override {
    return Core() ? Core()->GetItemDisplayName(index) : std::u16string();
  }
  int SetItemTitle(int, LPCWSTR) override { return Seam(u"CPlayerCore::SetItemTitle", 0); }
  int InsertItem(int index, LPCWSTR path) override { return Core() ? Core()->InsertItem(index, path) : 0; }
  int AddFilesFromPath(LPCWSTR path) override { return Core() ? Core()->AddFilesFromPath(path) : 0; }
  void EnqueuePath(LPCWSTR path, BOOL play) override { Run([&](CPlayerCore* c) { c->EnqueuePath(path, play); }); }
  int SavePlaylist(LPCWSTR) override { return Seam(u"CPlaylist::SaveFile", 0); }

  void StoreBookmark() override { Run([](CPlayerCore* c) { c->ReplaceBookmarkForCurrent(); }); }
  void ResumeFromBookmark() override {
    CPlayerCore* core = Core();
    if (!core) return;
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
  }
  void SetVisMode(int mode) override { Run([mode](CPlayerCore* c) { c->SetVisMode(mode); }); }
  int GetVisValue(int) override { return Seam(u"CPlayerCore visualisation values", 0); }
  void SwitchVisPlugin() override { LogSeam(u"CVisHost reopen"); }

 private:
  static CPlayerCore* Core() { return PeekPlayerCore(); }
  template <class Step>
  static void Run(Step step) {
    if (CPlayerCore* core = Core()) step(core);
  }
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
