// The transport meets a playlist file in the playlist: the playlist probe claims it, the core
// expands it in place of its entry (a relative entry joining the list's folder, an absolute one
// kept) and plays its entries in order, through the real MP3 module and the WAVE-file sound
// device (ZONBREL_AUDIO=wav:FILE).
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/modules/decoder_choice.h"
#include "transport_fixture.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

// The probe takes only files that begin like an INI section or XML, so the list's first entry is
// a file whose name begins with '['.
constexpr char16_t kRelative[] = u"\\Music\\[Live] one.mp3";
constexpr char16_t kAbsolute[] = u"\\Music\\Other\\two.mp3";
constexpr char16_t kAfter[] = u"\\Music\\three.mp3";
constexpr char16_t kList[] = u"\\Music\\list.m3u";

class TransportPlaylistExpansion : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(device_.Host("Music/Other"));
    fs::copy_file(fs::path(MP3_FIXTURE_FOLDER) / "one.mp3", device_.Host("Music/[Live] one.mp3"));
    fs::copy_file(fs::path(MP3_FIXTURE_FOLDER) / "two.mp3", device_.Host("Music/Other/two.mp3"));
    fs::copy_file(fs::path(MP3_FIXTURE_FOLDER) / "three.mp3", device_.Host("Music/three.mp3"));
    std::ofstream(device_.Host("Music/list.m3u"), std::ios::binary) << "[Live] one.mp3\r\n\\Music\\Other\\two.mp3\r\n";
    core_ = std::make_unique<CPlayerCore>(GetModuleHandleW(nullptr), window_.Handle(), nullptr);
    for (const char16_t* path : {kList, kAfter}) core_->GetPlaylist()->InsertItem(path, -1, nullptr, -2);
  }
  void TearDown() override {
    core_.reset();
    DestroySettings();
  }

  std::vector<std::u16string> Entries() {
    std::vector<std::u16string> entries;
    for (int i = 0; i < core_->GetPlaylist()->GetCount(); ++i) entries.push_back(core_->GetPlaylist()->GetItemPath(i));
    return entries;
  }

  // The items that played, in order, with the length the decoder gave each; handles the main
  // window's messages until playback ends, for at most a minute.
  bool PlayThrough(std::vector<std::u16string>& order, std::vector<int>& lengths) {
    const DWORD start = GetTickCount();
    while (core_->IsPlaying()) {
      const std::u16string current = core_->GetCurrentPath();
      if (order.empty() || order.back() != current) {
        order.push_back(current);
        lengths.push_back(core_->GetLength());
      }
      if (GetTickCount() - start > 60000) return false;
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(2);
    }
    return true;
  }

  ProductDevice device_;
  EnvScope audio_{"ZONBREL_AUDIO", "wav:" + device_.Host("played.wav").string()};
  StandInWindow window_;
  std::unique_ptr<CPlayerCore> core_;
};

TEST_F(TransportPlaylistExpansion, AnM3uEntryExpandsInPlaceAndItsFilesPlayInOrder) {
  EXPECT_EQ(ChooseDecoder(kList), nullptr);  // no module claims it: the probe is bound
  core_->Play(FALSE);
  ASSERT_TRUE(core_->IsPlaying());
  EXPECT_EQ(Entries(), (std::vector<std::u16string>{kRelative, kAbsolute, kAfter}));
  EXPECT_EQ(core_->GetPlaylist()->GetCurrentIndex(), 0);

  std::vector<std::u16string> order;
  std::vector<int> lengths;
  ASSERT_TRUE(PlayThrough(order, lengths));
  EXPECT_EQ(order, (std::vector<std::u16string>{kRelative, kAbsolute, kAfter}));
  // The fixtures last 2, 3 and 1.5 seconds.
  ASSERT_EQ(lengths.size(), 3u);
  EXPECT_NEAR(lengths[0], 2000, 60);
  EXPECT_NEAR(lengths[1], 3000, 60);
  EXPECT_NEAR(lengths[2], 1500, 60);
}

TEST_F(TransportPlaylistExpansion, ReachedByTheAdvanceTheListExpandsWhereItStoodAndPlaysOn) {
  // three.mp3 first: its end advances to the list, which expands where it stood.
  core_->GetPlaylist()->MoveItems(1, 0, FALSE);
  core_->Play(FALSE);
  std::vector<std::u16string> order;
  std::vector<int> lengths;
  ASSERT_TRUE(PlayThrough(order, lengths));
  EXPECT_EQ(order, (std::vector<std::u16string>{kAfter, kRelative, kAbsolute}));
  EXPECT_EQ(Entries(), (std::vector<std::u16string>{kAfter, kRelative, kAbsolute}));
}

}  // namespace
}  // namespace zb::testing
