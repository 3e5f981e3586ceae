// Playlists in the forms other programs write them (tests/corpus): each reads to the entries it
// names, and every one that reads goes through each layout of the writer and back unchanged in
// what that layout keeps.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "playlist_file_writer.h"
#include "reader_device.h"

namespace zb::testing {
namespace {

constexpr int kAnsi = 0;
constexpr char16_t kFolder[] = u"\\Corpus\\";

// The local files the corpus refers to; the ASX reader takes only references that exist.
constexpr const char16_t* kMedia[] = {
    u"\\Corpus\\Music\\b.wma", u"\\Corpus\\c.mp3",  u"\\Other\\x.mp3",
    u"\\Abs\\w.mp3",           u"\\Corpus\\caf\u00E9.mp3", u"\\Corpus\\\u041A\u0438\u043D\u043E.mp3",
};

std::string CorpusBytes(const std::string& name) {
  std::ifstream file(std::filesystem::path(PLAYLIST_CORPUS) / name, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// A device holding the corpus file and the media it refers to.
struct CorpusDevice : ReaderDevice {
  CorpusDevice(const std::string& name, int defaultEncoding) : ReaderDevice(defaultEncoding) {
    for (const char16_t* media : kMedia) Write(media, "x");
    Write(Path(name), CorpusBytes(name));
  }
  static std::u16string Path(const std::string& name) { return kFolder + FromUtf8(name); }
};

struct CorpusCase {
  const char* file;
  int defaultEncoding;
  int result;
  const char* listing;
};

const CorpusCase kCorpus[] = {
    {"lowercase_keys.pls", kAnsi, 0,
     "    0 http://s1.example.net:8000/ \"(#1 - 12/500) Jazz Radio\" -1 0\n"
     "    1 \\Corpus\\Music\\b.wma \"Bee\" -1 0\n"
     "    2 \\Corpus\\c.mp3 \"c.mp3\" 183000 1\n"},
    {"vlc_options.m3u", kAnsi, 0,
     "    0 rtsp://media.example.net:554/live.sdp \"Artist - Song\" 215000 0\n"
     "    1 http://radio.example.net:8000/stream?type=.mp3 \"Radio One\" -1 0\n"
     "    2 file:///Storage%20Card/Music/a.mp3 \"file:///Storage%20Card/Music/a.mp3\" 0 0\n"
     "    3 file:///C:/Music/b.mp3 \"file:///C:/Music/b.mp3\" -2 1\n"},
    // Well-formed once its bare '&' is escaped, so read as XML: titles count, and a relative
    // reference is the entry's file whether or not it exists yet.
    {"upper_tags.asx", kAnsi, 0,
     "    0 mms://wm.example.net/one?id=1&fmt=wma \"One\" -2 1\n"
     "    1 \\Corpus\\Music\\b.wma \"b.wma\" -2 1\n"
     "    2 \\Corpus\\missing.wma \"missing.wma\" -2 1\n"},
    {"five_on_one_line.asx", kAnsi, 0,
     "    0 http://h.example.net/1.mp3?a=1&b=2 \"http://h.example.net/1.mp3?a=1&b=2\" -2 1\n"
     "    1 http://h.example.net/2.mp3?a=1&b=2 \"http://h.example.net/2.mp3?a=1&b=2\" -2 1\n"
     "    2 http://h.example.net/3.mp3?a=1&b=2 \"http://h.example.net/3.mp3?a=1&b=2\" -2 1\n"
     "    3 http://h.example.net/4.mp3?a=1&b=2 \"http://h.example.net/4.mp3?a=1&b=2\" -2 1\n"
     "    4 http://h.example.net/5.mp3?a=1&b=2 \"http://h.example.net/5.mp3?a=1&b=2\" -2 1\n"},
    {"empty.asx", kAnsi, -1, ""},
    {"relative_refs.m3u", kAnsi, 0,
     "    0 \\Other\\x.mp3 \"x.mp3\" -2 1\n"
     "    1 \\Corpus\\Music\\b.wma \"b.wma\" -2 1\n"
     "    2 \\Corpus\\c.mp3 \"c.mp3\" -2 1\n"
     "    3 \\\\server\\share\\z.mp3 \"z.mp3\" -2 1\n"
     "    4 \\Abs\\w.mp3 \"w.mp3\" -2 1\n"},
    {"short.plt", kAnsi, -1, ""},
    {"truncated.plt", kAnsi, 0,
     "    0 \\Corpus\\c.mp3 \"c.mp3\" -2 1\n"
     "    1 \\Corpus\\Music\\b.wma \"b.wma\" -2 1\n"},
    {"overstated.plt", kAnsi, 0,
     "    0 \\Corpus\\c.mp3 \"c.mp3\" -2 1\n"
     "    1 \\Corpus\\Music\\b.wma \"b.wma\" -2 1\n"},
    {"utf8_bom.m3u", -1, 0,
     "    0 \\Corpus\\caf\xC3\xA9.mp3 \"Caf\xC3\xA9 \xE2\x80\x94 \xC3\x9Cn\xC3\xAF" "code \xE2\x99\xAB\" 61000 0\n"},
    {"utf8_plain.m3u8", -1, 0,
     "    0 \\Corpus\\caf\xC3\xA9.mp3 \"Caf\xC3\xA9 \xE2\x80\x94 \xC3\x9Cn\xC3\xAF" "code \xE2\x99\xAB\" 61000 0\n"},
    {"utf16.m3u", kAnsi, 0,
     "    0 \\Corpus\\caf\xC3\xA9.mp3 \"Caf\xC3\xA9 \xE2\x80\x94 \xC3\x9Cn\xC3\xAF" "code \xE2\x99\xAB\" 61000 0\n"},
    {"cyrillic_1251.m3u", 1251, 0,
     "    0 \\Corpus\\\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE.mp3 \"\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE - \xD0\x93\xD1\x80\xD1\x83"
     "\xD0\xBF\xD0\xBF\xD0\xB0 \xD0\xBA\xD1\x80\xD0\xBE\xD0\xB2\xD0\xB8\" 200000 0\n"},
};

constexpr char kNoCurrent[] = "  current -1, history, position 0\n";

TEST(PlaylistFileCorpus, ReadsToTheEntriesItNames) {
  for (const CorpusCase& c : kCorpus) {
    SCOPED_TRACE(c.file);
    CorpusDevice device(c.file, c.defaultEncoding);
    EXPECT_EQ(device.Playlist().LoadFile(CorpusDevice::Path(c.file).c_str(), nullptr), c.result);
    EXPECT_EQ(device.Listing(), std::string(c.listing) + kNoCurrent);
  }
}

// What a layout keeps of an entry: every layout its path, the PLS and M3U ones its title and
// length too.
struct Layout {
  const char16_t* ending;
  bool keepsInfo;
};
constexpr Layout kLayouts[] = {
    {u".pls", true},  {u".dat", true},  {u".m3u", true},       {u".m3u8", true},
    {u".asx", false}, {u".lst", false}, {u".wmwebasx", false}, {u".plt", false},
};

std::string Kept(CPlaylist& list, bool info) {
  std::string text;
  for (int i = 0; i < list.GetCount(); ++i) {
    text += ToUtf8(list.GetItemPath(i));
    if (info) text += " \"" + ToUtf8(list.GetItemDisplayName(i)) + "\" " + std::to_string(list.GetItemLength(i));
    text += "\n";
  }
  return text;
}

TEST(PlaylistFileCorpus, EveryLayoutWritesWhatItReadsBack) {
  for (const CorpusCase& c : kCorpus) {
    if (c.result < 0) continue;
    CorpusDevice device(c.file, c.defaultEncoding);
    CreateDirectoryW(u"\\Corpus\\Saved", nullptr);
    CPlaylist read(nullptr);
    ASSERT_GE(read.LoadFile(CorpusDevice::Path(c.file).c_str(), nullptr), 0) << c.file;
    // Beside the entries, where they are written relative, and in another folder, where the ASX
    // climbs out with "..".
    for (const char16_t* folder : {u"\\Corpus\\", u"\\Corpus\\Saved\\"}) {
      for (const Layout& layout : kLayouts) {
        const std::u16string out = folder + std::u16string(u"round") + layout.ending;
        SCOPED_TRACE(std::string(c.file) + " to " + ToUtf8(out));
        ASSERT_EQ(read.SaveFile(out.c_str()), 1);
        CPlaylist back(nullptr);
        EXPECT_EQ(back.LoadFile(out.c_str(), nullptr), 0);
        EXPECT_EQ(Kept(back, layout.keepsInfo), Kept(read, layout.keepsInfo));
      }
    }
  }
}

}  // namespace
}  // namespace zb::testing
