// The player's playlist across a restart: the core saves it when it goes and the start-up
// continuation brings back the entries, the current entry (opened again), the switches and the
// recent list within its bound; download cache files of the last run go at start.
#include "core/player/open_library.h"
#include "cache_file_set.h"
#include "recent_list.h"
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
  core_->GetRecentList()->Add(1, u"http://radio/typed");
  Restart();
  WCHAR name[64] = {};
  EXPECT_EQ(core_->GetRecentList()->GetName(1, name, 64, 0), 1);
  EXPECT_EQ(std::u16string(name), u"http://radio/typed");
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

TEST_F(PlaylistRestart, TheRecentListKeepsItsNewest300) {
  CRecentList* recent = core_->GetRecentList();
  for (int i = 0; i < 301; ++i) {
    const std::string digits = std::to_string(i);
    recent->Add(static_cast<DWORD>(i % 2), (u"http://radio/" + std::u16string(digits.begin(), digits.end())).c_str());
  }
  Restart();
  recent = core_->GetRecentList();
  ASSERT_EQ(recent->Entries().size(), 300u);
  EXPECT_EQ(recent->Entries().front().name, u"http://radio/1");
  EXPECT_EQ(recent->Entries().back().name, u"http://radio/300");
  EXPECT_EQ(recent->Entries().back().id, 0u);
}

TEST_F(PlaylistRestart, DownloadCacheFilesOfTheLastRunGoAtStart) {
  for (const char* name : {"zbcache0000.tmp", "zbcache0001.tmp"}) std::ofstream(device_.ProgramFile(name)) << "old";
  Restart();
  EXPECT_FALSE(std::filesystem::exists(device_.ProgramFile("zbcache0000.tmp")));
  EXPECT_FALSE(std::filesystem::exists(device_.ProgramFile("zbcache0001.tmp")));
  ASSERT_NE(core_->GetCacheFileSet(), nullptr);
  EXPECT_EQ(core_->GetCacheFileSet()->Count(), 0u);
}

}  // namespace
}  // namespace zb::testing
