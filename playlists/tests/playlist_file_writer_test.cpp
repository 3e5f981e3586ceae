// The playlist writer's layouts byte for byte: relative entries, lengths in whole seconds, the
// M3U info lines, ASX escaping, the PLT image, names it refuses or extends, the encodings, and a
// failed write that leaves the earlier file whole.
#include <string>
#include <vector>

#include "playlist_file_writer.h"
#include "product_device.h"
#include "reader_device.h"

namespace zb::testing {
namespace {

const std::vector<PlaylistItem> kEntries = {
    PlaylistItem(u"\\Music\\A\\x.mp3", u"Ex", 200500),
    PlaylistItem(u"\\Other\\y.mp3", u"", -1),
    PlaylistItem(u"http://r/s?a=1&b=\"2\"", u"Radio", -2),
    PlaylistItem(u"\\Music\\z.mp3"),
};

struct TextCase {
  const char16_t* path;
  const char* text;
};

TEST(PlaylistFileWriter, TextLayoutsByEnding) {
  ReaderDevice device(-2);
  CreateDirectoryW(u"\\Music", nullptr);
  const TextCase cases[] = {
      {u"\\Music\\list.pls",
       "[playlist]\r\nFile1=A\\x.mp3\r\nTitle1=Ex\r\nLength1=200\r\nFile2=\\Other\\y.mp3\r\nLength2=-1\r\n"
       "File3=http://r/s?a=1&b=\"2\"\r\nTitle3=Radio\r\nFile4=z.mp3\r\n"},
      {u"\\Music\\LIST.M3U",
       "#EXTM3U\r\n#EXTINF:200,Ex\r\nA\\x.mp3\r\n#EXTINF:-1,\r\n\\Other\\y.mp3\r\n#EXTINF:Radio\r\n"
       "http://r/s?a=1&b=\"2\"\r\nz.mp3\r\n"},
      {u"\\Music\\list.lst", "A\\x.mp3\r\n\\Other\\y.mp3\r\nhttp://r/s?a=1&b=\"2\"\r\nz.mp3\r\n"},
      {u"\\Music\\Sub\\list.asx",
       "<ASX VERSION=\"3.0\">\r\n<Param Name=\"encoding\" Value=\"UTF-8\"/>\r\n\r\n"
       "<ENTRY><REF HREF=\"..\\A\\x.mp3\" /></ENTRY>\r\n<ENTRY><REF HREF=\"..\\..\\Other\\y.mp3\" /></ENTRY>\r\n"
       "<ENTRY><REF HREF=\"http://r/s?a=1&amp;b=&quot;2&quot;\" /></ENTRY>\r\n"
       "<ENTRY><REF HREF=\"..\\z.mp3\" /></ENTRY>\r\n</ASX>\r\n"},
      {u"\\Music\\list.txt", nullptr},  // written as list.txt.m3u
  };
  CreateDirectoryW(u"\\Music\\Sub", nullptr);
  for (const TextCase& c : cases) {
    SCOPED_TRACE(ToUtf8(c.path));
    EXPECT_EQ(WritePlaylistFile(c.path, kEntries), 1);
    if (c.text) {
      EXPECT_EQ(ReadDeviceText(c.path), c.text);
    }
  }
  EXPECT_EQ(ReadDeviceText(u"\\Music\\list.txt.m3u"), ReadDeviceText(u"\\Music\\list.m3u"));
  EXPECT_EQ(GetFileAttributesW(u"\\Music\\list.txt"), INVALID_FILE_ATTRIBUTES);
}

TEST(PlaylistFileWriter, LinesInTitlesAndPathsCannotStartAnotherEntry) {
  ReaderDevice device;
  const std::vector<PlaylistItem> entries = {PlaylistItem(u"\\a.mp3", u"One\r\nFile2=\\evil.mp3", 5000)};
  ASSERT_EQ(WritePlaylistFile(u"\\list.pls", entries), 1);
  EXPECT_EQ(ReadDeviceText(u"\\list.pls"), "[playlist]\r\nFile1=a.mp3\r\nTitle1=One  File2=\\evil.mp3\r\nLength1=5\r\n");
  CPlaylist back(nullptr);
  back.LoadFile(u"\\list.pls", nullptr);
  EXPECT_EQ(back.GetCount(), 1);
}

TEST(PlaylistFileWriter, EncodingsByEndingAndSetting) {
  const std::vector<PlaylistItem> entries = {PlaylistItem(u"\\Caf\u00E9 \u266B.mp3")};
  {
    ReaderDevice device(-1);  // 1252 has no eighth note: UTF-16 with its mark keeps it
    ASSERT_EQ(WritePlaylistFile(u"\\list.m3u", entries), 1);
    EXPECT_EQ(ReadDeviceText(u"\\list.m3u"), Utf16Bom(u"#EXTM3U\r\nCaf\u00E9 \u266B.mp3\r\n") + std::string(2, '\0'));
    ASSERT_EQ(WritePlaylistFile(u"\\list.m3u8", entries), 1);
    EXPECT_EQ(ReadDeviceText(u"\\list.m3u8"), "#EXTM3U\r\nCaf\xC3\xA9 \xE2\x99\xAB.mp3\r\n");
    ASSERT_EQ(WritePlaylistFile(u"\\state.dat", entries), 1);
    EXPECT_EQ(ReadDeviceText(u"\\state.dat"), "[playlist]\r\nFile1=Caf\xC3\xA9 \xE2\x99\xAB.mp3\r\n");
  }
  {
    ReaderDevice device(-1);  // what 1252 holds is written in 1252
    ASSERT_EQ(WritePlaylistFile(u"\\list.lst", std::vector<PlaylistItem>{PlaylistItem(u"\\Caf\u00E9.mp3")}), 1);
    EXPECT_EQ(ReadDeviceText(u"\\list.lst"), "Caf\xE9.mp3\r\n");
  }
}

TEST(PlaylistFileWriter, PltImage) {
  ReaderDevice device;
  std::vector<PlaylistItem> entries = {PlaylistItem(u"\\a.mp3"), PlaylistItem(u"\\b.mp3"), PlaylistItem(u"\\c.mp3")};
  ASSERT_EQ(WritePlaylistFile(u"\\list.plt", entries), 1);
  const std::string image = ReadDeviceText(u"\\list.plt");
  ASSERT_EQ(image.size(), 1626u);
  EXPECT_EQ(image.substr(0, 50), Utf16Bom(u"withMP3 Playlist File 1.1").substr(2));
  EXPECT_EQ(image.substr(50, 4), std::string("\x03\0\0\0", 4));
  EXPECT_EQ(image.substr(54 + 524, 14), Utf16Bom(u"\\b.mp3").substr(2) + std::string(2, '\0'));
  // A path that fills its record is left out, not cut into the name of another file.
  entries.insert(entries.begin() + 1, PlaylistItem((u"\\" + std::u16string(261, u'x')).c_str()));
  ASSERT_EQ(WritePlaylistFile(u"\\list.plt", entries), 1);
  CPlaylist back(nullptr);
  back.LoadFile(u"\\list.plt", nullptr);
  ASSERT_EQ(back.GetCount(), 3);
  EXPECT_EQ(back.GetItemPath(1), u"\\b.mp3");
}

TEST(PlaylistFileWriter, RefusedNames) {
  ReaderDevice device;
  for (const char16_t* name : {u"\\x.p", u"\\Smart.PSPL", u"", static_cast<const char16_t*>(nullptr)}) {
    EXPECT_EQ(WritePlaylistFile(name, kEntries), 0);
    EXPECT_FALSE(IsWritablePlaylistName(name));
  }
  EXPECT_EQ(GetFileAttributesW(u"\\Smart.PSPL"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(WrittenPlaylistName(u"\\a.wmwebasx"), u"\\a.wmwebasx");
  EXPECT_EQ(WrittenPlaylistName(u".wmwebasx"), u".wmwebasx.m3u");  // too short to be one
}

TEST(PlaylistFileWriter, AFailedWriteKeepsTheEarlierFileAndSaysSo) {
  ProductDevice device;
  ASSERT_EQ(WritePlaylistFile(u"\\list.pls", std::vector<PlaylistItem>{PlaylistItem(u"\\keep.mp3")}), 1);
  const std::string before = ReadDeviceText(u"\\list.pls");
  std::vector<PlaylistItem> many;
  for (int i = 0; i < 200; ++i) many.emplace_back((u"\\Music\\entry " + FromUtf8(std::to_string(i)) + u".mp3").c_str());
  for (const char16_t* name : {u"\\list.pls", u"\\list.plt"}) {
    SCOPED_TRACE(ToUtf8(name));
    if (std::u16string(name).ends_with(u".plt")) {
      ASSERT_EQ(WritePlaylistFile(name, std::vector<PlaylistItem>{PlaylistItem(u"\\keep.mp3")}), 1);
    }
    const std::string earlier = ReadDeviceText(name);
    {
      FileSizeLimit limit(1000);
      EXPECT_EQ(WritePlaylistFile(name, many), 0);
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    }
    EXPECT_EQ(ReadDeviceText(name), earlier);
  }
  EXPECT_EQ(before, "[playlist]\r\nFile1=keep.mp3\r\n");
}

}  // namespace
}  // namespace zb::testing
