// ParseTextLine, one line at a time: what each layout's lines mean (entries, titles, lengths,
// nothing), and where an entry lies: relative to the playlist's folder, or to the URL of a list
// that was downloaded, and never past the buffer or MAX_PATH.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "playlist.h"
#include "script_text.h"

namespace {

struct LineCase {
  const char* name;
  const char16_t* base;
  int format;
  std::u16string line;
  int result;
  std::u16string buffer;
  int length;
};

void ExpectLines(std::initializer_list<LineCase> cases) {
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    WCHAR line[kPlaylistLineChars];
    ASSERT_LT(c.line.size(), std::size(line));
    c.line.copy(line, c.line.size());
    line[c.line.size()] = 0;
    int length = 12345;
    EXPECT_EQ(CPlaylist::ParseTextLine(c.base, line, c.format, &length), c.result);
    EXPECT_EQ(zb::ToUtf8(line), zb::ToUtf8(c.buffer));
    EXPECT_EQ(length, c.length);
  }
}

constexpr const char16_t* kPls = u"\\My Music\\list.pls";
constexpr const char16_t* kM3u = u"\\My Music\\list.m3u";

TEST(PlaylistTextLine, PlsKeysByTheirFirstLetters) {
  ExpectLines({
      {"an entry joins the playlist's folder", kPls, PLAYLIST_FORMAT_PLS, u"File1=a.mp3", 1, u"\\My Music\\a.mp3", -2},
      {"its number is not read, trailing blanks go", kPls, PLAYLIST_FORMAT_PLS, u"file27=b.mp3 \t", 1,
       u"\\My Music\\b.mp3", -2},
      {"a title", kPls, PLAYLIST_FORMAT_PLS, u"Title1=Song A", -1, u"Song A", -2},
      {"an empty title", kPls, PLAYLIST_FORMAT_PLS, u"Title1=", -1, u"", -2},
      {"a length in seconds", kPls, PLAYLIST_FORMAT_PLS, u"Length1=200", -1, u"", 200000},
      {"a negative length is none", kPls, PLAYLIST_FORMAT_PLS, u"Length1=-5", -1, u"", -1},
      {"a length too long for the field is held at the longest", kPls, PLAYLIST_FORMAT_PLS, u"Length1=99999999999", -1,
       u"", INT_MAX},
      {"a length that is no number says nothing", kPls, PLAYLIST_FORMAT_PLS, u"Length1=soon", 0, u"", -2},
      {"a section header", kPls, PLAYLIST_FORMAT_PLS, u"  [playlist]  ", 0, u"", -2},
      {"other keys", kPls, PLAYLIST_FORMAT_PLS, u"NumberOfEntries=3", 0, u"", -2},
      {"a line without '='", kPls, PLAYLIST_FORMAT_PLS, u"File1 a.mp3", 0, u"", -2},
      {"an entry that is blank", kPls, PLAYLIST_FORMAT_PLS, u"File1=   ", 0, u"", -2},
  });
}

TEST(PlaylistTextLine, M3uExtInfForms) {
  ExpectLines({
      {"seconds and a title", kM3u, PLAYLIST_FORMAT_M3U, u"#EXTINF:-1,Radio", -1, u"Radio", -1},
      {"blanks around the parts", kM3u, PLAYLIST_FORMAT_M3U, u"#EXTINF: 215 , Song B ", -1, u"Song B", 215000},
      {"seconds alone leave the title unknown", kM3u, PLAYLIST_FORMAT_M3U, u"#EXTINF:123,", -1, u"", 123000},
      {"a title alone leaves the length unknown", kM3u, PLAYLIST_FORMAT_M3U, u"#EXTINF:Only Title", -1, u"Only Title",
       -2},
      {"other comments", kM3u, PLAYLIST_FORMAT_M3U, u"#EXTM3U", 0, u"", -2},
      {"an entry", kM3u, PLAYLIST_FORMAT_M3U, u"sub\\b.mp3  ", 1, u"\\My Music\\sub\\b.mp3", -2},
      {"a blank line is no entry", kM3u, PLAYLIST_FORMAT_M3U, u"   ", 0, u"", -2},
      {"an empty line", kM3u, PLAYLIST_FORMAT_M3U, u"", 0, u"", -2},
  });
}

TEST(PlaylistTextLine, AsxReferencesAndPltRecords) {
  ExpectLines({
      {"a reference between the quotes", kM3u, PLAYLIST_FORMAT_ASX, u"<ref href = \"http://h/a?x=1&y=2\" />", 1,
       u"http://h/a?x=1&y=2", -2},
      {"the tag in any case, after another tag", kM3u, PLAYLIST_FORMAT_ASX,
       u"<Entry x=\"1\"><REF HREF=\"b.wma\"/>", 1, u"\\My Music\\b.wma", -2},
      {"a reference shorter than 2 characters", kM3u, PLAYLIST_FORMAT_ASX, u"<ref href=\"x\"/>", 0, u"", -2},
      {"single quotes are not taken", kM3u, PLAYLIST_FORMAT_ASX, u"<ref href='http://h/1'/>", 0, u"", -2},
      {"other lines", kM3u, PLAYLIST_FORMAT_ASX, u"<entry>", 0, u"", -2},
      {"a PLT record", kM3u, PLAYLIST_FORMAT_PLT, u"c.mp3", 1, u"\\My Music\\c.mp3", -2},
      {"a PLT record that is a comment", kM3u, PLAYLIST_FORMAT_PLT, u"#c.mp3", 0, u"", -2},
  });
}

TEST(PlaylistTextLine, WhereEntriesLie) {
  const std::u16string longName(300, u'n');
  ExpectLines({
      {"..\\ climbs from the playlist's folder", u"\\A\\B\\list.m3u", PLAYLIST_FORMAT_M3U, u"..\\x.mp3", 1,
       u"\\A\\x.mp3", -2},
      {".. never climbs above the root", u"\\A\\list.m3u", PLAYLIST_FORMAT_M3U, u"..\\..\\..\\x.mp3", 1, u"\\x.mp3",
       -2},
      {"a playlist in the root", u"\\list.m3u", PLAYLIST_FORMAT_M3U, u"a.mp3", 1, u"\\a.mp3", -2},
      {"an absolute path stays", kM3u, PLAYLIST_FORMAT_M3U, u"\\Storage Card\\a.mp3", 1, u"\\Storage Card\\a.mp3", -2},
      {"a network path stays", kM3u, PLAYLIST_FORMAT_M3U, u"\\\\server\\share\\a.mp3", 1,
       u"\\\\server\\share\\a.mp3", -2},
      {"any scheme stays", kM3u, PLAYLIST_FORMAT_M3U, u"rtsp://host/live", 1, u"rtsp://host/live", -2},
      {"a relative path too long for a path is no entry", kM3u, PLAYLIST_FORMAT_M3U, longName, 0, u"", -2},
      {"a downloaded list's entry lies beside it on the server", u"http://h/dir/list.m3u?id=2", PLAYLIST_FORMAT_M3U,
       u"sub\\song.mp3", 1, u"http://h/dir/sub/song.mp3", -2},
      {"or at the server's root", u"http://h/dir/list.m3u", PLAYLIST_FORMAT_M3U, u"/top/song.mp3", 1,
       u"http://h/top/song.mp3", -2},
      {"a URL without a path", u"http://h", PLAYLIST_FORMAT_PLS, u"File1=song.mp3", 1, u"http://h/song.mp3", -2},
  });
}

TEST(PlaylistTextLine, NullLengthAndNullLineAreTaken) {
  WCHAR line[kPlaylistLineChars] = u"Length1=20";
  EXPECT_EQ(CPlaylist::ParseTextLine(kPls, line, PLAYLIST_FORMAT_PLS, nullptr), -1);
  EXPECT_EQ(CPlaylist::ParseTextLine(kPls, nullptr, PLAYLIST_FORMAT_PLS, nullptr), 0);
}

}  // namespace
