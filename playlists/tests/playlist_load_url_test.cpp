// LoadFromPathOrUrl: an existing file is read as it is; a URL is downloaded by the core into a
// temporary file beside the program that is read under the URL's name and never left behind;
// with an insert position the list's own entry gives way to its entries, in order.
#include <string>
#include <vector>

#include "reader_device.h"

namespace zb::testing {
namespace {

constexpr const char16_t* kFirstTemporary = u"\\Program Files\\Zonbrel\\tmpplaylist[1].tmp";
constexpr const char16_t* kSecondTemporary = u"\\Program Files\\Zonbrel\\tmpplaylist[2].tmp";

// Downloads by writing `body` into the file it is handed, or fails after writing part of it.
class DownloadCore : public CScriptCore {
 public:
  std::string body;
  bool fails = false;
  std::vector<std::u16string> asked;
  std::vector<std::u16string> temporaries;  // the temporary names that existed during each call

  int DownloadToFile(LPCWSTR url, HANDLE file) override {
    asked.push_back(url);
    for (const char16_t* name : {kFirstTemporary, kSecondTemporary}) {
      if (GetFileAttributesW(name) != INVALID_FILE_ATTRIBUTES) temporaries.push_back(name);
    }
    const std::string sent = fails ? body.substr(0, body.size() / 2) : body;
    DWORD written = 0;
    if (!sent.empty()) WriteFile(file, sent.data(), static_cast<DWORD>(sent.size()), &written, nullptr);
    return fails ? -1 : static_cast<int>(written);
  }
};

const char* const kEmpty = "  current -1, history, position 0\n";

TEST(PlaylistLoadFromPathOrUrl, AMissingLocalPathCreatesNoTemporaryFile) {
  ReaderDevice device;
  DownloadCore core;
  EXPECT_EQ(device.Playlist().LoadFromPathOrUrl(u"\\M\\missing.m3u", -1, &core), 0);
  // A URL without a core to fetch it is given up the same way.
  EXPECT_EQ(device.Playlist().LoadFromPathOrUrl(u"http://h/list.m3u", -1, nullptr), 0);
  EXPECT_TRUE(core.asked.empty());
  EXPECT_TRUE(device.ProgramFiles().empty());
  EXPECT_EQ(device.Listing(), kEmpty);
}

TEST(PlaylistLoadFromPathOrUrl, AFailedDownloadLeavesNoTemporaryFile) {
  ReaderDevice device;
  DownloadCore core;
  core.body = "a.mp3\r\nb.mp3\r\n";
  core.fails = true;
  EXPECT_EQ(device.Playlist().LoadFromPathOrUrl(u"http://h/list.m3u", -1, &core), 0);
  EXPECT_EQ(core.asked, std::vector<std::u16string>{u"http://h/list.m3u"});
  EXPECT_EQ(core.temporaries, std::vector<std::u16string>{kFirstTemporary});
  EXPECT_TRUE(device.ProgramFiles().empty());
  EXPECT_EQ(device.Listing(), kEmpty);

  // The player core cannot fetch anything yet: the scripted core stands for it.
  EXPECT_EQ(device.Playlist().LoadFromPathOrUrl(u"http://h/list.m3u", -1, &device.Core()), 0);
  EXPECT_TRUE(device.ProgramFiles().empty());
}

TEST(PlaylistLoadFromPathOrUrl, ADownloadIsReadUnderTheUrlsNameAndDeleted) {
  struct Case {
    const char* name;
    const char16_t* url;
    std::string body;
    int defaultEncoding;
    const char* listing;
  };
  const Case cases[] = {
      {"relative entries lie beside the list on its server", u"http://h/dir/list.m3u?id=2",
       "#EXTINF:10,Ten\r\nsong.mp3\r\nhttp://other/x.mp3\r\n\\Music\\local.mp3\r\n", 0,
       "    0 http://h/dir/song.mp3 \"Ten\" 10000 0\n    1 http://other/x.mp3 \"http://other/x.mp3\" -2 1\n"
       "    2 \\Music\\local.mp3 \"local.mp3\" -2 1\n  current -1, history, position 0\n"},
      {"the URL's .m3u8 makes the text UTF-8", u"http://h/list.m3u8", "Caf\xC3\xA9.mp3\n", -1,
       "    0 http://h/Caf\xC3\xA9.mp3 \"http://h/Caf\xC3\xA9.mp3\" -2 1\n  current -1, history, position 0\n"},
      {"a .pls URL is known by its text", u"http://h/radio.pls", "[playlist]\nFile1=http://s/1\nTitle1=One\n", 0,
       "    0 http://s/1 \"One\" -2 1\n  current -1, history, position 0\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReaderDevice device(c.defaultEncoding);
    DownloadCore core;
    core.body = c.body;
    EXPECT_EQ(device.Playlist().LoadFromPathOrUrl(c.url, -1, &core), 1);
    EXPECT_EQ(core.temporaries, std::vector<std::u16string>{kFirstTemporary});
    EXPECT_EQ(device.Listing(), c.listing);
    EXPECT_TRUE(device.ProgramFiles().empty());
  }
}

TEST(PlaylistLoadFromPathOrUrl, AStaleTemporaryNameIsPassedOverAndLeftAlone) {
  ReaderDevice device;
  device.Write(kFirstTemporary, "stale");
  DownloadCore core;
  core.body = "http://s/1\n";
  EXPECT_EQ(device.Playlist().LoadFromPathOrUrl(u"http://h/list.m3u", -1, &core), 1);
  EXPECT_EQ(core.temporaries, (std::vector<std::u16string>{kFirstTemporary, kSecondTemporary}));
  EXPECT_EQ(device.ProgramFiles(), std::vector<std::string>{"tmpplaylist[1].tmp"});
  EXPECT_EQ(device.Playlist().GetItemPath(0), u"http://s/1");
}

struct InsertCase {
  const char* name;
  std::vector<const char16_t*> entries;
  int current;
  const char* file;  // the text of \M\list.m3u
  int insertAt;
  int result;
  const char* listing;
};

TEST(PlaylistLoadFromPathOrUrl, TheListsEntryGivesWayToItsEntriesInOrder) {
  const InsertCase cases[] = {
      {"in the middle, the entry asked to play: its first entry becomes current",
       {u"\\M\\a.mp3", u"\\M\\list.m3u", u"\\M\\z.mp3"}, 1, "b.mp3\nc.mp3\nd.mp3\n", 1, 1,
       "    0 \\M\\a.mp3 \"a.mp3\" -2 1\n  * 1 \\M\\b.mp3 \"b.mp3\" -2 1\n    2 \\M\\c.mp3 \"c.mp3\" -2 1\n"
       "    3 \\M\\d.mp3 \"d.mp3\" -2 1\n    4 \\M\\z.mp3 \"z.mp3\" -2 1\n  current 1, history, position 0\n"},
      {"at the start, another entry current: that one stays current",
       {u"\\M\\list.m3u", u"\\M\\z.mp3"}, 1, "b.mp3\nc.mp3\n", 0, 1,
       "    0 \\M\\b.mp3 \"b.mp3\" -2 1\n    1 \\M\\c.mp3 \"c.mp3\" -2 1\n  * 2 \\M\\z.mp3 \"z.mp3\" -2 1\n"
       "  current 2, history 2, position 1\n"},
      {"a list that reads as nothing leaves its entry",
       {u"\\M\\a.mp3", u"\\M\\list.m3u"}, 1, "#EXTM3U\n", 1, 0,
       "    0 \\M\\a.mp3 \"a.mp3\" -2 1\n  * 1 \\M\\list.m3u \"list.m3u\" -2 1\n  current 1, history 1, position 1\n"},
      {"without an insert position the entries are appended", {u"\\M\\list.m3u"}, 0, "b.mp3\n", -1, 1,
       "  * 0 \\M\\list.m3u \"list.m3u\" -2 1\n    1 \\M\\b.mp3 \"b.mp3\" -2 1\n  current 0, history 0, position 1\n"},
      {"an insert position past the entries removes nothing", {u"\\M\\list.m3u"}, 0, "b.mp3\n", 5, 1,
       "  * 0 \\M\\list.m3u \"list.m3u\" -2 1\n    1 \\M\\b.mp3 \"b.mp3\" -2 1\n  current 0, history 0, position 1\n"},
  };
  for (const InsertCase& c : cases) {
    SCOPED_TRACE(c.name);
    ReaderDevice device;
    device.Write(u"\\M\\list.m3u", c.file);
    for (const char16_t* entry : c.entries) device.Playlist().InsertItem(entry, -1, nullptr, -2);
    device.Playlist().SetCurrentIndex(c.current);
    device.Playlist().ClearHistory();
    EXPECT_EQ(device.Playlist().LoadFromPathOrUrl(u"\\M\\list.m3u", c.insertAt, nullptr), c.result);
    EXPECT_EQ(device.Listing(), c.listing);
  }
}

TEST(PlaylistLoadFromPathOrUrl, TheViewsSeeTheEntryRemovedAndTheNewEntriesMoved) {
  ReaderDevice device;
  device.Write(u"\\M\\list.m3u", "b.mp3\nc.mp3\n");
  for (const char16_t* entry : {u"\\M\\a.mp3", u"\\M\\list.m3u", u"\\M\\z.mp3"})
    device.Playlist().InsertItem(entry, -1, nullptr, -2);
  device.AddView();
  EXPECT_EQ(device.Playlist().LoadFromPathOrUrl(u"\\M\\list.m3u", 1, nullptr), 1);
  EXPECT_EQ(device.TakeTrace(),
            "  1: PLM_BATCH 0 0\n"
            "  1: PLM_ITEMCHANGED 3 3\n"
            "  1: PLM_ITEMCHANGED 4 4\n"
            "  1: PLM_CURRENT -1 0\n"
            "  1: PLM_BATCH 1 0\n"
            "  1: PLM_REMOVED 1 0\n"
            "  1: PLM_MOVED 1 0x00010002\n"
            "  1: PLM_MOVED 1 0x00020003\n");
}

}  // namespace
}  // namespace zb::testing
