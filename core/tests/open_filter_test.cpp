// The open dialog's type filter (its entries, their order, the omitted types), the upper-case
// extension list the folder scans use, and the path specifications the dialogs hand back, read
// into the playlist by AddFilesFromPath and EnqueuePath over real files on the device.
#include "core/transport/open_filter.h"
#include "transport_fixture.h"

namespace zb::testing {
namespace {

using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;

DecModule Decoder(const char16_t* description, const char16_t* filter) {
  DecModule record{};
  record.version = DEC_MODULE_VERSION;
  record.description = description;
  record.fileExtensions = filter;
  return record;
}

// The filter's pairs, read back from the zero-separated block.
Pairs ReadFilter(std::span<DecModule* const> decoders, DWORD flags) {
  const size_t length = BuildOpenFilterFrom(decoders, flags, nullptr);
  std::u16string block(length, u'\xFFFF');
  EXPECT_EQ(BuildOpenFilterFrom(decoders, flags, block.data()), length);
  EXPECT_EQ(block.back(), 0);
  Pairs pairs;
  for (size_t at = 0; at < length && block[at];) {
    std::u16string description(block.c_str() + at);
    at += description.size() + 1;
    std::u16string pattern(block.c_str() + at);
    at += pattern.size() + 1;
    pairs.emplace_back(description, pattern);
  }
  return pairs;
}

class OpenFilter : public TransportTest {
 protected:
  DecModule mp3_ = Decoder(u"MP3 audio", u"*.MP3;*.MP2");
  DecModule ogg_ = Decoder(u"Ogg Vorbis", u"*.OGG");
  DecModule nameless_ = Decoder(nullptr, u"*.XYZ");
  std::vector<DecModule*> decoders_ = {&mp3_, &ogg_, &nameless_};
  void Omit(const char16_t* list) {
    wcscpy(GetSettings()->omittedExtensions, list);
  }
};

TEST_F(OpenFilter, EntriesComeInTheirOrderForTheFlags) {
  Omit(u"");
  const std::u16string playlists = u"*.m3u;*.m3u8;*.pspl;*.pls;*.asx;*.lst;*.plt";
  const Pairs expected = {
      // The joined list holds the entries of "Playlist files" and the media types, in that order.
      {u"All supported types", playlists + u";*.MP3;*.MP2;*.OGG"},
      {u"Playlist files", playlists},
      {u"M3U Playlist", u"*.m3u"},   {u"M3U8 Playlist", u"*.m3u8"}, {u"PSPL Playlist", u"*.pspl"},
      {u"PLS Playlist", u"*.pls"},   {u"ASX Playlist", u"*.asx"},   {u"LST Playlist", u"*.lst"},
      {u"PLT Playlist", u"*.plt"},   {u"MP3 audio", u"*.MP3;*.MP2"}, {u"Ogg Vorbis", u"*.OGG"},
      {u"All files (*.*)", u"*.*"},
  };
  EXPECT_EQ(ReadFilter(decoders_, 0x1F), expected);
  EXPECT_EQ(ReadFilter(decoders_, OPEN_FILTER_MEDIA), Pairs(expected.begin() + 9, expected.begin() + 11));
  EXPECT_EQ(BuildOpenFilterFrom(decoders_, 0, nullptr), 1u);  // the closing zero alone
}

TEST_F(OpenFilter, OmittedTypesLeaveOutOnlyTheirOwnEntries) {
  const struct {
    const char16_t* omitted;
    std::vector<std::u16string> left;
  } cases[] = {
      // "m3u8" is not "m3u": each omits its own entry only.
      {u";m3u8;", {u"*.m3u", u"*.pspl", u"*.pls", u"*.asx", u"*.lst", u"*.plt"}},
      {u";M3U;", {u"*.m3u8", u"*.pspl", u"*.pls", u"*.asx", u"*.lst", u"*.plt"}},
      {u";pls;lst;", {u"*.m3u", u"*.m3u8", u"*.pspl", u"*.asx", u"*.plt"}},
  };
  for (const auto& c : cases) {
    Omit(c.omitted);
    std::vector<std::u16string> left;
    for (const auto& [description, pattern] : ReadFilter(decoders_, OPEN_FILTER_PLAYLISTS)) left.push_back(pattern);
    EXPECT_EQ(left, c.left) << ToUtf8(c.omitted);
  }
  Omit(u";ogg;");
  EXPECT_EQ(ReadFilter(decoders_, OPEN_FILTER_MEDIA), (Pairs{{u"MP3 audio", u"*.MP3;*.MP2"}}));
}

TEST_F(OpenFilter, TheExtensionListJoinsThePatternsInUpperCase) {
  Omit(u"");
  std::u16string block(BuildOpenFilterFrom(decoders_, OPEN_FILTER_MEDIA | OPEN_FILTER_PLAYLISTS, nullptr), 0);
  BuildOpenFilterFrom(decoders_, OPEN_FILTER_MEDIA | OPEN_FILTER_PLAYLISTS, block.data());
  EXPECT_EQ(UpperExtensionList(block.c_str()),
            u"*.M3U;*.M3U8;*.PSPL;*.PLS;*.ASX;*.LST;*.PLT;*.MP3;*.MP2;*.OGG");
  EXPECT_EQ(UpperExtensionList(u"\0"), u"");
  EXPECT_EQ(UpperExtensionList(nullptr), u"");
  // The core's playable types: every registered decoder's patterns.
  const std::u16string playable = core_->GetPlayableExtensions();
  EXPECT_NE(playable.find(u"*.FAKE"), std::u16string::npos);
  EXPECT_NE(playable.find(u"*.WMA"), std::u16string::npos);
}

TEST_F(OpenFilter, DialogResultsBecomeSpecifications) {
  const std::vector<std::u16string> files = {u"\\a.mp3", u"", u"\\b c.ogg"};
  EXPECT_EQ(FileSpec(files), u"*\\a.mp3*\\b c.ogg");
  const std::vector<std::pair<std::u16string, bool>> folders = {{u"\\Music", true}, {u"", true}, {u"\\Talk", false}};
  EXPECT_EQ(FolderSpec(folders), u"**\\Music*?\\Talk");
  EXPECT_EQ(FileSpec({}), u"");
  EXPECT_EQ(ShowOpenFileDialog(7, nullptr), u"");  // no such mode
}

TEST_F(OpenFilter, UserInterfaceCommandsAreOfferedToTheHooksFirst) {
  GetSettings()->showLibraryOnStartup = 1;
  int text = 0;
  for (int id : {6, 26, 29, 22}) core_->SendUiCommand(id, &text);
  // 26 goes as event 38 with the setting; 29 is not offered; the others as 39 with their id.
  EXPECT_EQ(ScriptedHooks().TakeSeen(), (std::vector<std::string>{"event 39 in 6 out", "event 38 in 1 out", "event 39 in 22 out"}));
}

class PlaylistEntry : public TransportTest {
 protected:
  void SetUp() override {
    TransportTest::SetUp();
    for (const char16_t* folder : {u"\\Music", u"\\Music\\Live", u"\\Talk"}) CreateDirectoryW(folder, nullptr);
    for (const char16_t* file : {u"\\Music\\one.fake", u"\\Music\\two.fake", u"\\Music\\notes.txt",
                                 u"\\Music\\Live\\three.fake", u"\\Talk\\four.fake"}) {
      HANDLE handle = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      DWORD written = 0;
      WriteFile(handle, "data", 4, &written, nullptr);
      CloseHandle(handle);
    }
  }
  std::vector<std::u16string> Paths() {
    std::vector<std::u16string> out;
    for (int i = 0; i < core_->GetItemCount(); ++i) out.push_back(core_->GetItemPath(i));
    return out;
  }
};

TEST_F(PlaylistEntry, ASpecificationAddsFilesAndFoldersWithOrWithoutSubfolders) {
  EXPECT_GE(core_->AddFilesFromPath(u"**\\Music*?\\Talk*\\Elsewhere\\x.fake"), 0);
  EXPECT_EQ(Paths(), (std::vector<std::u16string>{u"\\Music\\Live\\three.fake", u"\\Music\\one.fake",
                                                  u"\\Music\\two.fake", u"\\Talk\\four.fake",
                                                  u"\\Elsewhere\\x.fake"}));
  Playlist().Clear();
  core_->AddFilesFromPath(u"*?\\Music");  // without its subfolders
  EXPECT_EQ(Paths(), (std::vector<std::u16string>{u"\\Music\\one.fake", u"\\Music\\two.fake"}));
  Playlist().Clear();
  core_->AddFilesFromPath(u"\\Talk\\four.fake");  // a plain path
  EXPECT_EQ(Paths(), std::vector<std::u16string>{u"\\Talk\\four.fake"});
  EXPECT_EQ(core_->AddFilesFromPath(u"*"), -1);  // no entry at all
}

TEST_F(PlaylistEntry, EnqueueReplacesThePlaylistAndPlaysTheItemItsLastEntryGave) {
  AddItems({u"\\Old\\gone.fake"});
  core_->EnqueuePath(u"*\\Music\\one.fake*\\Music\\two.fake", TRUE);
  EXPECT_EQ(Paths(), (std::vector<std::u16string>{u"\\Music\\one.fake", u"\\Music\\two.fake"}));
  EXPECT_TRUE(core_->IsPlaying());
  EXPECT_EQ(Current(), u"\\Music\\two.fake");
  // A folder's entry gives its first item.
  core_->EnqueuePath(u"*?\\Music", TRUE);
  EXPECT_EQ(Current(), u"\\Music\\one.fake");
  EXPECT_EQ(Script().playing, u"\\Music\\one.fake");
  // Without play the item is only shown.
  core_->EnqueuePath(u"\\Talk\\four.fake", FALSE);
  EXPECT_FALSE(core_->IsPlaying());
  EXPECT_EQ(Current(), u"\\Talk\\four.fake");
  // The Local Content key names the list and adds nothing.
  core_->EnqueuePath(u"-", FALSE);
  EXPECT_EQ(core_->GetItemCount(), 0);
  EXPECT_EQ(core_->GetPlaylistFileName(), u"-");
}

TEST_F(PlaylistEntry, APathAlreadyListedIsSelectedInsteadOfAddedAgain) {
  core_->EnqueuePath(u"*\\Music\\one.fake*\\Music\\two.fake", FALSE);
  EXPECT_EQ(Current(), u"\\Music\\two.fake");
  core_->AddPathOrSelect(u"\\MUSIC\\TWO.FAKE", TRUE);  // the current path: nothing to do
  EXPECT_FALSE(core_->IsPlaying());
  core_->AddPathOrSelect(u"\\MUSIC\\ONE.FAKE", TRUE);
  EXPECT_EQ(core_->GetItemCount(), 2);
  EXPECT_EQ(Current(), u"\\Music\\one.fake");
  EXPECT_TRUE(core_->IsPlaying());
  core_->AddPathOrSelect(u"\\Talk\\four.fake", FALSE);
  EXPECT_EQ(core_->GetItemCount(), 1);
  EXPECT_EQ(Current(), u"\\Talk\\four.fake");
}

TEST_F(PlaylistEntry, WrappersCheckTheirIndex) {
  AddItems({u"\\Music\\one.fake", u"\\Music\\two.fake"});
  EXPECT_EQ(core_->RemoveItem(2), 0);
  EXPECT_EQ(core_->RemoveItem(-1), 0);
  EXPECT_EQ(core_->ClearItemInfo(5, u"\\Music\\one.fake"), 0);
  EXPECT_EQ(core_->RefreshItemInfo(2), 0);
  Playlist().SetItemInfo(1, u"\\Music\\two.fake", u"Two", 4321);
  EXPECT_EQ(core_->ClearItemInfo(1, u"\\Music\\two.fake"), 1);
  EXPECT_EQ(Playlist().GetItemLength(1), -2);
  EXPECT_EQ(core_->InsertItem(0x10000, u"\\Music\\three.fake"), 0);  // the index is taken as 16 bits
  EXPECT_EQ(core_->InsertItem(-1, u"\\Music\\last.fake"), 3);
  EXPECT_EQ(core_->RemoveItem(0), 1);
  EXPECT_EQ(core_->GetItemPath(0), u"\\Music\\one.fake");
}

}  // namespace
}  // namespace zb::testing
