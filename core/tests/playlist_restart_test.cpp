// The player's playlist across a restart: the core saves it when it goes and the start-up
// continuation brings back the entries, the current entry (opened again) and the switches.
#include "core/player/open_library.h"
#include "transport_fixture.h"

namespace zb::testing {
namespace {

class PlaylistRestart : public TransportTest {
 protected:
  void Restart() {
    core_.reset();
    core_ = std::make_unique<CPlayerCore>(GetModuleHandleW(nullptr), window_.Handle(), nullptr);
    OpenLibrary(core_.get());
  }
};

TEST_F(PlaylistRestart, ThePlaylistCurrentEntryAndSwitchesComeBack) {
  for (const char16_t* path : {u"\\Music\\one.mp3", u"\\Music\\two.mp3", u"\\Music\\three.mp3"}) {
    Playlist().InsertItem(path, -1, nullptr, -2);
  }
  Playlist().SetCurrentIndex(1);
  core_->SetShuffle(TRUE);
  core_->SetRepeat(TRUE);
  Restart();
  ASSERT_EQ(Playlist().GetCount(), 3);
  EXPECT_EQ(Playlist().GetItemPath(2), u"\\Music\\three.mp3");
  EXPECT_EQ(Playlist().GetCurrentIndex(), 1);
  EXPECT_EQ(Current(), u"\\Music\\two.mp3");
  EXPECT_TRUE(core_->GetShuffle());
  EXPECT_TRUE(core_->GetRepeat());
  // Switched off, they stay off through the next restart.
  core_->SetShuffle(FALSE);
  Playlist().RemoveItem(0);
  Restart();
  EXPECT_FALSE(core_->GetShuffle());
  EXPECT_TRUE(core_->GetRepeat());
  EXPECT_EQ(Playlist().GetCount(), 2);
  EXPECT_EQ(Playlist().GetItemPath(0), u"\\Music\\two.mp3");
}

}  // namespace
}  // namespace zb::testing
