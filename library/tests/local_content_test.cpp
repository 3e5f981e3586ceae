// The Local Content scan: which files and folders it takes, what a scan puts into the library
// (every file with its tags, read once), what it does with files that cannot be read or vanish,
// the query modes that wait for a scan, and the updaters following the device while they run:
// files made, deleted and renamed, and a storage card taken out and put back.
#include "local_content_fixture.h"

#include <aygshell.h>

#include <algorithm>
#include <vector>

#include "local_content_library.h"
#include "playlist.h"
#include "querytags.h"

namespace {

using namespace lctest;

// ---- Filters ----

TEST(LocalContentFilter, ExtensionsCompareWhole) {
  const struct {
    LPCWSTR filter;
    LPCWSTR path;
    bool matches;
  } kCases[] = {
      {u"*.MP3;*.OGG", u"\\a\\song.mp3", true},
      {u"*.MP3;*.OGG", u"\\a\\song.OGG", true},
      {u"*.MP3;*.OGG", u"\\a\\song.mp", false},      // a part of an extension is not one
      {u"*.MP3;*.OGG", u"\\a\\song.mp3x", false},
      {u"*.M3U8", u"\\a\\list.m3u", false},
      {u"*.MP3", u"\\a.b\\song", false},              // the dot of a folder is no extension
      {u"*.MP3", u"\\.mp", false},                    // too short to be a file with an extension
      {nullptr, u"\\a\\anything.xyz", true},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(MatchesExtensionFilter(c.filter, c.path), c.matches)
        << std::string(c.path, c.path + wcslen(c.path)).c_str();
  }
}

TEST(LocalContentFilter, IgnoredFoldersAreWholeLeadingComponents) {
  zb::testing::TestDevice device;
  CSettings* settings = GetSettings();
  ASSERT_NE(settings, nullptr);
  const DWORD saved = settings->restrictPaths;
  settings->restrictPaths = 0xFFFF;
  const struct {
    LPCWSTR path;
    bool ignored;
  } kCases[] = {
      {u"\\Temp", true},
      {u"\\Temp\\x", true},
      {u"\\temp\\x", true},
      {u"\\Templates", false},
      {u"\\Templates\\Temp", false},  // only a leading folder counts
      {u"\\Windows\\Fonts", true},
      {u"\\Windows2", false},
      {u"\\Storage Card\\Music", false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(IsIgnoredFolder(*settings, c.path), c.ignored) << std::string(c.path, c.path + wcslen(c.path)).c_str();
  }
  settings->restrictPaths = 0;  // no candidate counts
  EXPECT_FALSE(IsIgnoredFolder(*settings, u"\\Temp\\x"));
  EXPECT_FALSE(IsIgnoredFolder(*settings, u"\\Windows"));
  settings->restrictPaths = saved;
}

// ---- A scan into the library ----

// Counts the entries the library stores while it lives.
struct StoreCounter {
  explicit StoreCounter(CMediaLibrary* library) : library_(library) {
    library_->Advise(LIBEVENT_ITEM_ADDED, 0, Count, reinterpret_cast<DWORD_PTR>(this));
  }
  ~StoreCounter() { library_->Unadvise(LIBEVENT_ITEM_ADDED, 0, Count, reinterpret_cast<DWORD_PTR>(this)); }
  static void Count(DWORD, DWORD_PTR self, LPCWSTR text, const LIBEVENTINFO*) {
    auto* counter = reinterpret_cast<StoreCounter*>(self);
    counter->sources.push_back(text ? text : u"");
  }
  CMediaLibrary* library_;
  std::vector<std::u16string> sources;
};

TEST_F(LocalContentTest, AScanStoresEveryMediaFileWithItsTags) {
  const std::u16string mp3 = OnCard(TestMusic().mp3, "Music/Band/alpha.mp3");
  const std::u16string ogg = OnCard(TestMusic().ogg, "Music/beta.ogg");
  OnCard(TestMusic().mp3, "Music/notes.txt");  // not a media type
  EXPECT_EQ(RunLocalContentScan(u"\\Storage Card", nullptr, nullptr), 2);
  EXPECT_EQ(Stored(mp3, TAG_SONG_TITLE), u"Alpha");
  EXPECT_EQ(Stored(mp3, TAG_ARTIST), u"The Band");
  EXPECT_EQ(Stored(mp3, TAG_ALBUM), u"First Album");
  EXPECT_EQ(Stored(ogg, TAG_SONG_TITLE), u"Beta");
  EXPECT_EQ(Stored(ogg, TAG_ARTIST), u"The Band");
  EXPECT_EQ(Stored(u"\\Storage Card\\Music\\notes.txt", TAG_SONG_TITLE), u"(no entry)");
  EXPECT_GT(Valid(mp3), 0);
}

TEST_F(LocalContentTest, ASecondScanReadsOnlyWhatChanged) {
  const std::u16string mp3 = OnCard(TestMusic().mp3, "alpha.mp3");
  const std::u16string ogg = OnCard(TestMusic().ogg, "beta.ogg");
  ASSERT_EQ(RunLocalContentScan(u"\\Storage Card", nullptr, nullptr), 2);
  {
    StoreCounter stores(library_);
    ASSERT_EQ(RunLocalContentScan(u"\\Storage Card", nullptr, nullptr), 2);
    EXPECT_TRUE(stores.sources.empty()) << "nothing changed, nothing is read again";
  }
  // The MP3 file replaced by other music: another size, so it is read again.
  fs::copy_file(TestMusic().other, device_.card() / "alpha.mp3", fs::copy_options::overwrite_existing);
  StoreCounter stores(library_);
  ASSERT_EQ(RunLocalContentScan(u"\\Storage Card", nullptr, nullptr), 2);
  EXPECT_EQ(stores.sources, std::vector<std::u16string>{mp3});
  EXPECT_EQ(Stored(mp3, TAG_SONG_TITLE), u"Gamma");
  EXPECT_EQ(Stored(ogg, TAG_SONG_TITLE), u"Beta");
}

TEST_F(LocalContentTest, UnreadableAndVanishedFilesDoNotStopTheRest) {
  const std::u16string good = OnCard(TestMusic().mp3, "a/good.mp3");
  const fs::path bad = device_.card() / "a" / "broken.ogg";
  std::ofstream(bad) << std::string(4096, 'x');  // an Ogg file in name only
  CPlaylist list(nullptr);
  list.InsertItem(u"\\Storage Card\\a\\gone.mp3", -1, nullptr, -2);  // listed, then deleted
  list.InsertItem(u"\\Storage Card\\a\\broken.ogg", -1, nullptr, -2);
  list.InsertItem(good.c_str(), -1, nullptr, -2);
  for (int i = 0; i < list.GetCount(); ++i) ValidateLocalEntry(list, i);
  for (int i = 0; i < list.GetCount(); ++i) EXPECT_EQ(list.GetItemStatus(i), 0) << "entry " << i << " is settled";
  EXPECT_EQ(Stored(good, TAG_SONG_TITLE), u"Alpha");
  EXPECT_EQ(Valid(u"\\Storage Card\\a\\gone.mp3"), -1000);
  // The whole scan over the same folder finds both files and stores the readable one.
  EXPECT_EQ(RunLocalContentScan(u"\\Storage Card\\a", nullptr, nullptr), 2);
  EXPECT_EQ(Stored(good, TAG_ARTIST), u"The Band");
}

TEST_F(LocalContentTest, ScanModesWaitForAScanOfThisRun) {
  const std::u16string mp3 = OnCard(TestMusic().mp3, "alpha.mp3");
  const auto query = [&](LONG mode, DWORD* count) {
    IMediaItem* item = nullptr;
    EXPECT_EQ(library_->CreateItem(&item), S_OK);
    item->SetInstance(QTAG_PARAMS, QPARAM_VALIDITY, &mode, sizeof mode);
    IMediaList* list = nullptr;
    const HRESULT result = library_->QueryMedia(item, &list);
    item->Release();
    *count = 0;
    if (list) {
      list->GetCount(count);
      list->Release();
    }
    return result;
  };
  DWORD count = 0;
  EXPECT_EQ(query(QVALID_SCAN_WAIT, &count), E_PENDING);
  EXPECT_EQ(query(QVALID_SCAN_READY, &count), E_PENDING);
  ASSERT_EQ(RunLocalContentScan(nullptr, nullptr, nullptr), 1);
  for (LONG mode : {QVALID_SCAN_WAIT, QVALID_SCAN_READY}) {
    EXPECT_EQ(query(mode, &count), S_OK) << "mode " << mode;
    EXPECT_EQ(count, 1u) << "mode " << mode;
  }
}

TEST_F(LocalContentTest, AStoppedScanKeepsWhatItStoredAndResumesNextTime) {
  const std::u16string first = OnCard(TestMusic().mp3, "x/first.mp3");
  const std::u16string second = OnCard(TestMusic().ogg, "x/second.ogg");
  // The player closes while its scan runs: the lists end after the first file was stored.
  CreateLocalContentLists();
  ASSERT_TRUE(PumpUntil([&] { return Stored(first, TAG_SONG_TITLE) == u"Alpha"; }, 20000));
  DestroyLocalContentLists();
  // The next run scans again: what was stored stays and is not read again.
  StoreCounter stores(library_);
  ASSERT_EQ(RunLocalContentScan(u"\\Storage Card\\x", nullptr, nullptr), 2);
  EXPECT_EQ(Stored(first, TAG_SONG_TITLE), u"Alpha");
  EXPECT_EQ(Stored(second, TAG_SONG_TITLE), u"Beta");
  EXPECT_EQ(std::count(stores.sources.begin(), stores.sources.end(), first), 0);
}

// ---- The updaters while the player runs ----

class LocalContentWatch : public LocalContentTest {
 protected:
  int Count() {
    CPlaylist* list = GetLocalContentPlaylist();
    return list ? list->GetCount() : -1;
  }
  bool Listed(const std::u16string& path) {
    CPlaylist* list = GetLocalContentPlaylist();
    for (int i = 0; list && i < list->GetCount(); ++i) {
      if (list->GetItemPath(i) == path) return true;
    }
    return false;
  }
  // Starts the lists and waits (bounded) until the scan stored `source`.
  void StartAndWaitFor(const std::u16string& source) {
    CreateLocalContentLists();
    ASSERT_TRUE(PumpUntil([&] { return Stored(source, TAG_SONG_TITLE) != u"(no entry)"; }, 20000));
  }
};

TEST_F(LocalContentWatch, FilesMadeDeletedAndRenamedReachTheListAndTheLibrary) {
  const std::u16string alpha = OnCard(TestMusic().mp3, "Music/alpha.mp3");
  StartAndWaitFor(alpha);
  EXPECT_TRUE(Listed(alpha));

  const std::u16string made = OnCard(TestMusic().ogg, "Music/made.ogg");
  ASSERT_TRUE(PumpUntil([&] { return Stored(made, TAG_SONG_TITLE) == u"Beta"; }, 20000));
  EXPECT_TRUE(Listed(made));

  fs::rename(device_.card() / "Music" / "made.ogg", device_.card() / "Music" / "renamed.ogg");
  const std::u16string renamed = u"\\Storage Card\\Music\\renamed.ogg";
  ASSERT_TRUE(PumpUntil([&] { return Stored(renamed, TAG_SONG_TITLE) == u"Beta"; }, 20000));
  EXPECT_FALSE(Listed(made));
  EXPECT_TRUE(Listed(renamed));
  EXPECT_LE(Valid(made), 0) << "the old name is no longer present";

  fs::remove(device_.card() / "Music" / "alpha.mp3");
  ASSERT_TRUE(PumpUntil([&] { return !Listed(alpha); }, 20000));
  EXPECT_LE(Valid(alpha), 0);
  EXPECT_NE(Valid(alpha), -1000) << "a deleted file's entry is kept, marked missing";
}

TEST_F(LocalContentWatch, ACardBackWithinFourSecondsKeepsItsEntries) {
  const std::u16string alpha = OnCard(TestMusic().mp3, "alpha.mp3");
  StartAndWaitFor(alpha);
  const int listed = Count();
  const fs::path away = device_.card().string() + ".out";
  fs::rename(device_.card(), away);
  PumpUntil([] { return false; }, 1000);
  fs::rename(away, device_.card());
  PumpUntil([] { return false; }, 5000);  // past the grace time
  EXPECT_EQ(Count(), listed);
  EXPECT_TRUE(Listed(alpha));
  EXPECT_GT(Valid(alpha), 0);
}

TEST_F(LocalContentWatch, ACardGoneLongerIsRemovedAndComesBackWithTheNextScan) {
  const std::u16string alpha = OnCard(TestMusic().mp3, "alpha.mp3");
  StartAndWaitFor(alpha);
  const fs::path away = device_.card().string() + ".out";
  fs::rename(device_.card(), away);
  ASSERT_TRUE(PumpUntil([&] { return !Listed(alpha); }, 10000));
  EXPECT_EQ(Valid(alpha), 0) << "missing, not deleted";
  fs::rename(away, device_.card());
  ASSERT_TRUE(PumpUntil([&] { return Listed(alpha) && Valid(alpha) > 0; }, 20000));
}

TEST_F(LocalContentWatch, NoticesNobodyReadGoWithTheLists) {
  const std::u16string alpha = OnCard(TestMusic().mp3, "Music/alpha.mp3");
  StartAndWaitFor(alpha);
  // Files arrive while the thread handles nothing: their notices wait in its queue.
  OnCard(TestMusic().ogg, "Music/one.ogg");
  OnCard(TestMusic().ogg, "Music/two.ogg");
  MSG message;
  const DWORD began = GetTickCount();
  while (!PeekMessageW(&message, nullptr, WM_FILECHANGEINFO, WM_FILECHANGEINFO, PM_NOREMOVE) &&
         GetTickCount() - began < 5000)
    Sleep(10);
  ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_FILECHANGEINFO, WM_FILECHANGEINFO, PM_NOREMOVE));
  // The lists go with them unread: the updaters free them (the leak checker sees any left).
  DestroyLocalContentLists();
  EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_FILECHANGEINFO, WM_FILECHANGEINFO, PM_NOREMOVE));
}

}  // namespace
