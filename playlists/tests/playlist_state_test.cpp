// The main playlist across runs: SaveState and RestoreState through "\current.dat" beside the
// program and the settings key; a playlist bound to a file written back to it; the fallbacks of
// missing or damaged values; and a failed write that keeps the earlier state file.
#include <string>
#include <vector>

#include "product_device.h"
#include "reader_device.h"

namespace zb::testing {
namespace {

constexpr char16_t kStateFile[] = u"\\Program Files\\Zonbrel\\current.dat";

void SetText(LPCWSTR name, const std::u16string& text) {
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, 0, nullptr, &key, nullptr);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
  RegCloseKey(key);
}

void DeleteValue(LPCWSTR name) {
  HKEY key = nullptr;
  RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, 0, &key);
  RegDeleteValueW(key, name);
  RegCloseKey(key);
}

// The playlist as the next run finds it: a new playlist over a core with both switches off.
struct NextRun {
  CScriptCore core;
  CPlaylist playlist{&core};
  NextRun() { playlist.RestoreState(); }
};

TEST(PlaylistState, EntriesCurrentEntryTitleAndSwitchesComeBack) {
  ReaderDevice device;
  device.Playlist().InsertItem(u"\\Music\\a.mp3", -1, nullptr, -2);
  device.Playlist().InsertItem(u"http://radio/live", -1, u"Radio", -1);
  device.Playlist().InsertItem(u"\\Music\\Caf\u00E9.ogg", -1, nullptr, -2);
  device.Playlist().SetCurrentIndex(2);
  device.Playlist().SetTitle(u"Evening");
  device.Core().shuffle = TRUE;
  device.Core().repeat = TRUE;
  EXPECT_EQ(device.Playlist().SaveState(), ERROR_SUCCESS);
  EXPECT_EQ(ReadDeviceText(kStateFile),
            "[playlist]\r\nFile1=\\Music\\a.mp3\r\nFile2=http://radio/live\r\nTitle2=Radio\r\nLength2=-1\r\n"
            "File3=\\Music\\Caf\xC3\xA9.ogg\r\n");

  NextRun next;
  EXPECT_EQ(next.playlist.GetCount(), 3);
  EXPECT_EQ(next.playlist.GetItemPath(2), u"\\Music\\Caf\u00E9.ogg");
  EXPECT_EQ(next.playlist.GetItemDisplayName(1), u"Radio");
  EXPECT_EQ(next.playlist.GetItemLength(1), -1);
  EXPECT_EQ(next.playlist.GetCurrentIndex(), 2);
  EXPECT_EQ(next.playlist.GetTitle(), u"Evening");
  EXPECT_EQ(next.playlist.GetFileName(), u"");
  EXPECT_TRUE(next.core.shuffle);
  EXPECT_TRUE(next.core.repeat);
}

TEST(PlaylistState, SwitchesAndCurrentFallBackWhenMissingOrDamaged) {
  ReaderDevice device;
  device.Playlist().InsertItem(u"\\a.mp3", -1, nullptr, -2);
  device.Playlist().SetCurrentIndex(0);
  device.Core().shuffle = TRUE;
  device.Playlist().SaveState();
  const struct {
    const char16_t* shuffle;  // null: the value is deleted
    BOOL on;
  } cases[] = {{u"1", TRUE}, {u"yes", FALSE}, {u"11", FALSE}, {u"", FALSE}, {nullptr, FALSE}};
  for (const auto& c : cases) {
    if (c.shuffle) {
      SetText(u"Shuffle", c.shuffle);
    } else {
      DeleteValue(u"Shuffle");
    }
    NextRun next;
    EXPECT_EQ(next.core.shuffle, c.on) << (c.shuffle ? ToUtf8(c.shuffle) : "missing");
  }
  SetText(u"Current", u"not a number");  // of the wrong type
  EXPECT_EQ(NextRun().playlist.GetCurrentIndex(), -1);
}

TEST(PlaylistState, ABoundFileIsWrittenBackAndBoundAgain) {
  ReaderDevice device;
  device.Write(u"\\Lists\\road.m3u", "#EXTM3U\r\na.mp3\r\n");
  CPlaylist& list = device.Playlist();
  ASSERT_EQ(list.LoadFile(u"\\Lists\\road.m3u", nullptr), 0);
  list.SetFileName(u"\\Lists\\road.m3u");
  EXPECT_EQ(list.GetTitle(), u"road");
  // Bound and unchanged, the file is not touched: someone else may have written it since.
  device.Write(u"\\Lists\\road.m3u", "#EXTM3U\r\na.mp3\r\nadded elsewhere.mp3\r\n");
  list.SaveState();
  EXPECT_EQ(ReadDeviceText(u"\\Lists\\road.m3u"), "#EXTM3U\r\na.mp3\r\nadded elsewhere.mp3\r\n");
  // A change goes back to the file when the state is saved...
  list.InsertItem(u"\\Lists\\b.mp3", -1, u"Bee", 61000);
  list.SaveState();
  EXPECT_EQ(ReadDeviceText(u"\\Lists\\road.m3u"), "#EXTM3U\r\na.mp3\r\n#EXTINF:61,Bee\r\nb.mp3\r\n");
  {
    NextRun next;
    EXPECT_EQ(next.playlist.GetFileName(), u"\\Lists\\road.m3u");
    EXPECT_EQ(next.playlist.GetCount(), 2);
    EXPECT_EQ(next.playlist.GetTitle(), u"road");
  }
  // ...and when the playlist leaves the file.
  list.RemoveItem(0);
  list.SetFileName(nullptr);
  EXPECT_EQ(ReadDeviceText(u"\\Lists\\road.m3u"), "#EXTM3U\r\n#EXTINF:61,Bee\r\nb.mp3\r\n");
  EXPECT_EQ(list.GetTitle(), u"");
}

TEST(PlaylistState, SourceFallbacks) {
  ReaderDevice device;
  device.Playlist().InsertItem(u"\\kept.mp3", -1, nullptr, -2);
  device.Playlist().SaveState();
  // A bound file that is gone: the entries saved beside the program, unbound.
  SetText(u"Source", u"\\Lists\\gone.m3u");
  NextRun gone;
  EXPECT_EQ(gone.playlist.GetFileName(), u"");
  EXPECT_EQ(gone.playlist.GetItemPath(0), u"\\kept.mp3");
  // No source at all is a first start: the Local Content list.
  DeleteValue(u"Source");
  NextRun first;
  EXPECT_EQ(first.playlist.GetFileName(), u"-");
  EXPECT_EQ(first.playlist.GetTitle(), u"Local Content");
  EXPECT_EQ(first.playlist.GetCount(), 0);
  // A ".pspl" query is no file to write back to.
  EXPECT_FALSE(IsSavablePlaylistPath(u"\\Lists\\smart.PSPL"));
  EXPECT_TRUE(IsSavablePlaylistPath(u"\\Lists\\plain"));
  EXPECT_FALSE(IsSavablePlaylistPath(u"Lists\\relative.m3u"));
}

TEST(PlaylistState, AFailedWriteKeepsTheEarlierStateFile) {
  ReaderDevice device;
  device.Playlist().InsertItem(u"\\first.mp3", -1, nullptr, -2);
  device.Playlist().SaveState();
  const std::string earlier = ReadDeviceText(kStateFile);
  for (int i = 0; i < 300; ++i) device.Playlist().InsertItem(u"\\Music\\a long name for a song.mp3", -1, nullptr, -2);
  {
    FileSizeLimit limit(2000);
    device.Playlist().SaveState();
  }
  EXPECT_EQ(ReadDeviceText(kStateFile), earlier);
  EXPECT_EQ(NextRun().playlist.GetCount(), 1);
}

}  // namespace
}  // namespace zb::testing
