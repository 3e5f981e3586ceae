// The player's bridge to the library: an entry without a path gives an empty item, the playing
// entry gives the core's item, a source in the library loads without its file (even after the file
// is gone), a new file is read through its "decoder" and stored, and the album-artist fix.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "player_items.h"
#include "tag_storage_fixture.h"

namespace {

using namespace libtest;
using testing_helpers::Ref;
using testing_helpers::Take;

constexpr DWORD kArtistInstances = 0x80027533;

// A core whose one "decoder" claims .tag files: each line "name=value" becomes a tag.
class FakeCore : public IPlayerItemHost {
 public:
  explicit FakeCore(zb::testing::TestDevice& device) : device_(device) {}
  IMediaItem* CurrentItem() override {
    if (current) current->AddRef();
    return current;
  }
  std::u16string CurrentPath() override { return currentPath; }
  bool PlaylistEntryPath(int index, std::u16string* path) override {
    if (index < 0 || index >= static_cast<int>(entries.size())) return false;
    *path = entries[static_cast<size_t>(index)];
    return true;
  }
  HRESULT ReadTags(LPCWSTR source, CMediaItem* item) override {
    ++reads;
    std::u16string path(source);
    if (path.size() < 4 || path.substr(path.size() - 4) != u".tag") return E_NOINTERFACE;
    HANDLE file = CreateFileW(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return E_FAIL;
    char buffer[1024];
    DWORD read = 0;
    ReadFile(file, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(file);
    std::istringstream lines(std::string(buffer, read));
    for (std::string line; std::getline(lines, line);) {
      const size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      const std::u16string name(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(eq));
      const std::u16string value(line.begin() + static_cast<std::ptrdiff_t>(eq) + 1, line.end());
      DWORD id = 0;
      if (name == u"ReadFailed") item->SetInt(TAG_READ_FAILED, 1);
      else if (name == u"Listed") item->SetInstance(kArtistInstances, TAG_ARTIST, &(id = TAG_ARTIST), sizeof id);
      else if (SUCCEEDED(item->GetTagId(name.c_str(), &id))) item->SetString(id, value.c_str());
    }
    return S_OK;
  }
  BOOL EnsureBothArtistValues() override { return ensureBoth; }
  void OfferToHooks(UINT code, void* data, UINT size) override {
    if (code == kHookItemBeforeStore && size == sizeof(IMediaItem*)) {
      IMediaItem* item = *static_cast<IMediaItem**>(data);
      item->SetString(TAG_GENRE, u"set by a plug-in");
      ++offers;
    }
  }

  void Write(const char* name, const std::string& text) { std::ofstream(device_.Host(name)) << text; }

  zb::testing::TestDevice& device_;
  IMediaItem* current = nullptr;
  std::u16string currentPath;
  std::vector<std::u16string> entries;
  BOOL ensureBoth = FALSE;
  int reads = 0;
  int offers = 0;
};

std::u16string StringOf(IMediaItem* item, DWORD tag) {
  BSTR text = nullptr;
  if (!item || FAILED(item->GetString(tag, &text))) return u"<none>";
  return Take(text);
}

class PlayerItemsTest : public TagStorageTest {
 protected:
  FakeCore core_{device_};
};

TEST_F(PlayerItemsTest, AnEntryWithoutAPathGivesAnEmptyItem) {
  core_.entries = {u"", u"\\Music\\x.tag"};
  Ref<IMediaItem> empty(GetPlaylistItemInterface(&core_, library_, 0));
  ASSERT_NE(empty.get(), nullptr);
  DWORD count = 1;
  empty->GetTagCount(&count);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(GetPlaylistItemInterface(&core_, library_, 5), nullptr) << "no such entry";
  EXPECT_EQ(core_.reads, 0);
}

TEST_F(PlayerItemsTest, ThePlayingEntryGivesTheCoresItem) {
  Ref<CMediaItem> playing = testing_helpers::NewItem(u"\\Music\\now.tag");
  core_.current = playing.get();
  core_.currentPath = u"\\Music\\now.tag";
  core_.entries = {u"\\MUSIC\\NOW.TAG"};
  Ref<IMediaItem> byIndex(GetPlaylistItemInterface(&core_, library_, 0));
  Ref<IMediaItem> now(GetPlaylistItemInterface(&core_, library_, -1));
  EXPECT_EQ(byIndex.get(), static_cast<IMediaItem*>(playing.get()));
  EXPECT_EQ(now.get(), static_cast<IMediaItem*>(playing.get()));
  EXPECT_EQ(core_.reads, 0);
}

TEST_F(PlayerItemsTest, AStoredSourceLoadsAfterItsFileIsDeleted) {
  fs::create_directories(device_.Host("Music"));
  core_.Write("Music/song.tag", "Artist=Someone\nSong Title=Tune\n");
  core_.entries = {u"\\Music\\song.tag"};
  Ref<IMediaItem> read(GetPlaylistItemInterface(&core_, library_, 0));
  EXPECT_EQ(StringOf(read.get(), TAG_SONG_TITLE), u"Tune");
  EXPECT_EQ(core_.reads, 1);
  EXPECT_EQ(core_.offers, 1) << "plug-ins saw it before it was stored";
  fs::remove(device_.Host("Music/song.tag"));
  Ref<IMediaItem> loaded(GetLibraryItemForSource(&core_, library_, u"\\Music\\song.tag"));
  EXPECT_EQ(StringOf(loaded.get(), TAG_ARTIST), u"Someone");
  EXPECT_EQ(StringOf(loaded.get(), TAG_GENRE), u"set by a plug-in");
  EXPECT_EQ(core_.reads, 1) << "the file was not touched";
  Ref<IMediaItem> bound(FindLibraryItem(library_, u"\\Music\\song.tag"));
  EXPECT_EQ(StringOf(bound.get(), TAG_SONG_TITLE), u"Tune");
  EXPECT_EQ(FindLibraryItem(library_, u""), nullptr);
  EXPECT_EQ(FindLibraryItem(library_, u"\\Music\\none.tag"), nullptr);
}

TEST_F(PlayerItemsTest, NothingIsStoredForAFileThatFailedOrHasNoTagsOrNoDecoder) {
  fs::create_directories(device_.Host("Music"));
  core_.Write("Music/failed.tag", "Artist=Half\nReadFailed=1\n");
  core_.Write("Music/empty.tag", "nothing here\n");
  core_.Write("Music/song.mp3", "Artist=Nobody\n");
  Ref<IMediaItem> failed(GetLibraryItemForSource(&core_, library_, u"\\Music\\failed.tag"));
  EXPECT_EQ(StringOf(failed.get(), TAG_ARTIST), u"Half") << "handed out";
  EXPECT_EQ(library_->ItemExists(u"\\Music\\failed.tag"), E_FAIL) << "but not stored";
  EXPECT_EQ(GetLibraryItemForSource(&core_, library_, u"\\Music\\empty.tag"), nullptr);
  EXPECT_EQ(GetLibraryItemForSource(&core_, library_, u"\\Music\\song.mp3"), nullptr);
  EXPECT_EQ(GetLibraryItemForSource(&core_, library_, u"\\Music\\missing.tag"), nullptr);
  EXPECT_EQ(GetLibraryItemForSource(&core_, library_, u""), nullptr);
  EXPECT_EQ(Scalar(u"select count(*) from media;"), 0);
}

struct ArtistCase {
  const char* name;
  BOOL ensureBoth;
  const char16_t* artist;
  const char16_t* albumArtist;
  bool listed;  // Artist is among the instances of 0x80027533
  const char16_t* expectArtist;
  const char16_t* expectAlbumArtist;
  bool expectAlbumArtistListed;
};

class AlbumArtistTest : public PlayerItemsTest, public ::testing::WithParamInterface<ArtistCase> {};

TEST_P(AlbumArtistTest, FillsTheMissingArtistWhenAsked) {
  const ArtistCase& c = GetParam();
  core_.ensureBoth = c.ensureBoth;
  Ref<CMediaItem> item = testing_helpers::NewItem();
  if (c.artist) item->SetString(TAG_ARTIST, c.artist);
  if (c.albumArtist) item->SetString(TAG_ALBUM_ARTIST, c.albumArtist);
  if (c.listed) {
    const LONG id = TAG_ARTIST;
    item->SetInstance(kArtistInstances, TAG_ARTIST, &id, sizeof id);
  }
  FixAlbumArtist(&core_, item.get());
  EXPECT_EQ(StringOf(item.get(), TAG_ARTIST), c.expectArtist);
  EXPECT_EQ(StringOf(item.get(), TAG_ALBUM_ARTIST), c.expectAlbumArtist);
  BOOL listed = FALSE;
  item->HasInstance(kArtistInstances, TAG_ALBUM_ARTIST, &listed);
  EXPECT_EQ(listed != FALSE, c.expectAlbumArtistListed);
  EXPECT_EQ(core_.offers, 1) << "the hooks always see it";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AlbumArtistTest,
    ::testing::Values(ArtistCase{"OffLeavesAnArtistAlone", FALSE, u"A", nullptr, true, u"A", u"<none>", false},
                      ArtistCase{"ArtistFillsAlbumArtist", TRUE, u"A", nullptr, false, u"A", u"A", false},
                      ArtistCase{"AListedArtistListsTheCopy", TRUE, u"A", nullptr, true, u"A", u"A", true},
                      ArtistCase{"AlbumArtistFillsArtist", TRUE, nullptr, u"B", false, u"B", u"B", false},
                      ArtistCase{"BothStayAsTheyAre", TRUE, u"A", u"B", true, u"A", u"B", false},
                      ArtistCase{"NeitherGivesNothing", TRUE, nullptr, nullptr, false, u"<none>", u"<none>", false}),
    [](const ::testing::TestParamInfo<ArtistCase>& info) { return std::string(info.param.name); });

}  // namespace
