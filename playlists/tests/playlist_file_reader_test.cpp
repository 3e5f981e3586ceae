// LoadFile over real files in a device folder: the layout by ending and by content, encodings by
// byte-order mark, ending and the default setting, the line layouts with their titles and
// lengths, ASX in lines and in one line, the binary PLT, and the failures that add nothing.
#include <string>
#include <utility>
#include <vector>

#include "reader_device.h"

namespace zb::testing {
namespace {

struct ReadCase {
  const char* name;
  std::vector<std::pair<std::u16string, std::string>> files;  // device path, bytes
  const char16_t* path;
  int defaultEncoding;
  int result;
  const char* listing;
};

void ExpectReads(std::initializer_list<ReadCase> cases) {
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    ReaderDevice device(c.defaultEncoding);
    for (const auto& [path, bytes] : c.files) device.Write(path, bytes);
    EXPECT_EQ(device.Playlist().LoadFile(c.path, nullptr), c.result);
    EXPECT_EQ(device.Listing(), c.listing);
  }
}

// A PLT image: the header, the count, then each path as a 262-character record.
std::string Plt(uint32_t count, std::initializer_list<std::u16string> paths) {
  std::string bytes = Utf16Bom(u"withMP3 Playlist File 1.1").substr(2);
  for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(count >> shift & 0xFF);
  for (const std::u16string& path : paths) {
    std::u16string record = path;
    record.resize(262, u'\0');
    bytes += Utf16Bom(record).substr(2);
  }
  return bytes;
}

constexpr int kAnsi = 0;
constexpr int k1252 = -1;
constexpr int kUtf8 = -2;

TEST(PlaylistFileReader, LineLayoutsWithTitlesAndLengths) {
  ExpectReads({
      {"a PLS entry with its title and length is settled",
       {{u"\\My Music\\list.pls", "[playlist]\r\nFile1=a.mp3\r\nTitle1=A\r\nLength1=200\r\nNumberOfEntries=1\r\n"}},
       u"\\My Music\\list.pls", kAnsi, 0,
       "    0 \\My Music\\a.mp3 \"A\" 200000 0\n  current -1, history, position 0\n"},
      {"PLS titles and lengths go to the entry read last, whatever their numbers",
       {{u"\\M\\list.pls",
         "Title1=before any entry\nFile1=http://radio/s\nLength9=-1\nTitle9=Radio\nFile2=b.mp3\nLength1=30\n"}},
       u"\\M\\list.pls", kAnsi, 0,
       "    0 http://radio/s \"Radio\" -1 0\n    1 \\M\\b.mp3 \"b.mp3\" 30000 1\n  current -1, history, position 0\n"},
      {"M3U: #EXTINF forms give the next entry its title and length",
       {{u"\\M\\list.m3u", "#EXTM3U\n#EXTINF:-1,Radio\nhttp://radio/live\n#EXTINF:Only Title\nb.mp3\nc.mp3\n"}},
       u"\\M\\list.m3u", kAnsi, 0,
       "    0 http://radio/live \"Radio\" -1 0\n    1 \\M\\b.mp3 \"Only Title\" -2 1\n    2 \\M\\c.mp3 \"c.mp3\" -2 1\n"
       "  current -1, history, position 0\n"},
      {".lst is M3U", {{u"\\M\\list.lst", "a.mp3\r\n"}}, u"\\M\\list.lst", kAnsi, 0,
       "    0 \\M\\a.mp3 \"a.mp3\" -2 1\n  current -1, history, position 0\n"},
      {".php is M3U, even when its text begins like a PLS", {{u"\\M\\list.php", "[b.mp3]\r\n"}}, u"\\M\\list.php",
       kAnsi, 0, "    0 \\M\\[b.mp3] \"[b.mp3]\" -2 1\n  current -1, history, position 0\n"},
      {"..\\x.mp3 in \\A\\B is \\A\\x.mp3",
       {{u"\\A\\B\\list.m3u", "..\\x.mp3\n"}}, u"\\A\\B\\list.m3u", kAnsi, 0,
       "    0 \\A\\x.mp3 \"x.mp3\" -2 1\n  current -1, history, position 0\n"},
      {"a line of 1040 characters ends the read; one of 1039 that is no path is passed over",
       {{u"\\M\\list.m3u", "a.mp3\n" + std::string(1039, 'y') + "\nb.mp3\n" + std::string(1040, 'x') + "\nc.mp3\n"}},
       u"\\M\\list.m3u", kAnsi, 0,
       "    0 \\M\\a.mp3 \"a.mp3\" -2 1\n    1 \\M\\b.mp3 \"b.mp3\" -2 1\n  current -1, history, position 0\n"},
  });
}

TEST(PlaylistFileReader, Encodings) {
  const std::string cafeUtf8 = "Caf\xC3\xA9.mp3\n";
  ExpectReads({
      {"UTF-16 with its byte-order mark, whatever the setting says",
       {{u"\\M\\list.m3u", Utf16Bom(u"\u00DCber \u0416.mp3\r\n\u266B.mp3")}}, u"\\M\\list.m3u", kUtf8, 0,
       "    0 \\M\\\xC3\x9C" "ber \xD0\x96.mp3 \"\xC3\x9C" "ber \xD0\x96.mp3\" -2 1\n"
       "    1 \\M\\\xE2\x99\xAB.mp3 \"\xE2\x99\xAB.mp3\" -2 1\n  current -1, history, position 0\n"},
      {"UTF-8 with its mark under a 1252 default", {{u"\\M\\list.m3u", "\xEF\xBB\xBF" + cafeUtf8}}, u"\\M\\list.m3u",
       k1252, 0, "    0 \\M\\Caf\xC3\xA9.mp3 \"Caf\xC3\xA9.mp3\" -2 1\n  current -1, history, position 0\n"},
      {".m3u8 without a mark is UTF-8 under a 1252 default", {{u"\\M\\list.m3u8", cafeUtf8}}, u"\\M\\list.m3u8", k1252,
       0, "    0 \\M\\Caf\xC3\xA9.mp3 \"Caf\xC3\xA9.mp3\" -2 1\n  current -1, history, position 0\n"},
      {"the same bytes as .m3u are read in the default 1252", {{u"\\M\\list.m3u", cafeUtf8}}, u"\\M\\list.m3u", k1252,
       0, "    0 \\M\\Caf\xC3\x83\xC2\xA9.mp3 \"Caf\xC3\x83\xC2\xA9.mp3\" -2 1\n  current -1, history, position 0\n"},
      {"a UTF-8 default reads .m3u as UTF-8", {{u"\\M\\list.m3u", cafeUtf8}}, u"\\M\\list.m3u", kUtf8, 0,
       "    0 \\M\\Caf\xC3\xA9.mp3 \"Caf\xC3\xA9.mp3\" -2 1\n  current -1, history, position 0\n"},
      {"the program's .dat lists are PLS in UTF-8", {{u"\\M\\current.dat", "[playlist]\nFile1=" + cafeUtf8}},
       u"\\M\\current.dat", k1252, 0,
       "    0 \\M\\Caf\xC3\xA9.mp3 \"Caf\xC3\xA9.mp3\" -2 1\n  current -1, history, position 0\n"},
  });
}

TEST(PlaylistFileReader, LayoutByContentWhenNoEndingDecides) {
  ExpectReads({
      {"a text beginning \"[playlist]\" is PLS", {{u"\\M\\list.txt", " \r\n[playlist]\nFile1=a.mp3\nTitle1=A\n"}},
       u"\\M\\list.txt", kAnsi, 0, "    0 \\M\\a.mp3 \"A\" -2 1\n  current -1, history, position 0\n"},
      {"HTML breaks around a PLS", {{u"\\M\\get.cgi", "<br>\n[playlist]\nFile1=http://r/1\n"}}, u"\\M\\get.cgi", kAnsi,
       0, "    0 http://r/1 \"http://r/1\" -2 1\n  current -1, history, position 0\n"},
      {"anything else is M3U", {{u"\\M\\list.txt", "#EXTINF:5,Five\na.mp3\n"}}, u"\\M\\list.txt", kAnsi, 0,
       "    0 \\M\\a.mp3 \"Five\" 5000 0\n  current -1, history, position 0\n"},
      {"a document beginning with '<' needs a feed parser", {{u"\\M\\feed.xml", "  <rss><channel/></rss>"}},
       u"\\M\\feed.xml", kAnsi, -1, "  current -1, history, position 0\n"},
      {".pspl needs a feed parser", {{u"\\M\\smart.pspl", "<pspl version=\"1.0\"/>"}}, u"\\M\\smart.pspl", kAnsi, -1,
       "  current -1, history, position 0\n"},
  });
}

TEST(PlaylistFileReader, AsxLines) {
  std::string oneLine = "<asx version=\"3.0\"><title>Five</title>";
  for (int i = 1; i <= 5; ++i) oneLine += "<entry><ref href=\"http://h/" + std::to_string(i) + "?a=1&b=2\"/></entry>";
  oneLine += "</asx>";
  ExpectReads({
      {"an ASX on one line is split into lines; bare '&' stay in the URLs", {{u"\\M\\list.asx", oneLine}},
       u"\\M\\list.asx", kAnsi, 0,
       "    0 http://h/1?a=1&b=2 \"http://h/1?a=1&b=2\" -2 1\n    1 http://h/2?a=1&b=2 \"http://h/2?a=1&b=2\" -2 1\n"
       "    2 http://h/3?a=1&b=2 \"http://h/3?a=1&b=2\" -2 1\n    3 http://h/4?a=1&b=2 \"http://h/4?a=1&b=2\" -2 1\n"
       "    4 http://h/5?a=1&b=2 \"http://h/5?a=1&b=2\" -2 1\n  current -1, history, position 0\n"},
      {"an entry takes its first local reference that exists, and every URL reference",
       {{u"\\M\\there.wma", "x"},
        {u"\\M\\later.wma", "x"},
        {u"\\M\\list.wmwebasx",
         "<asx version=\"3.0\">\r\n<ref href=\"http://before/entry\"/>\r\n<entry>\r\n<ref href=\"missing.wma\"/>\r\n"
         "<ref href=\"there.wma\"/>\r\n<ref href=\"later.wma\"/>\r\n</entry>\r\n<Entry>\r\n<ref href=\"http://h/1\"/>\r\n"
         "<ref href=\"http://h/2\"/>\r\n<ref href=\"\\\\server\\share\\x.wma\"/>\r\n<ref href=\"later.wma\"/>\r\n"
         "</entry>\r\n</asx>\r\n"}},
       u"\\M\\list.wmwebasx", kAnsi, 0,
       "    0 \\M\\there.wma \"there.wma\" -2 1\n    1 http://h/1 \"http://h/1\" -2 1\n"
       "    2 http://h/2 \"http://h/2\" -2 1\n"
       "    3 \\\\server\\share\\x.wma \"x.wma\" -2 1\n  current -1, history, position 0\n"},
      {"<Param Name=\"Encoding\" Value=\"UTF-8\"> reads the ASX as UTF-8 under a 1252 default",
       {{u"\\M\\list.asx",
         "<asx>\n<param name=\"encoding\" value=\"utf-8\"/>\n<entry>\n<ref href=\"http://h/Caf\xC3\xA9\"/>\n</entry>\n"
         "</asx>\n"}},
       u"\\M\\list.asx", k1252, 0, "    0 http://h/Caf\xC3\xA9 \"http://h/Caf\xC3\xA9\" -2 1\n  current -1, history, position 0\n"},
  });
}

TEST(PlaylistFileReader, PltRecords) {
  ExpectReads({
      {"records in order, a relative one joining the folder",
       {{u"\\M\\list.plt", Plt(2, {u"\\Music\\a.mp3", u"b.mp3"})}}, u"\\M\\list.plt", kAnsi, 0,
       "    0 \\Music\\a.mp3 \"a.mp3\" -2 1\n    1 \\M\\b.mp3 \"b.mp3\" -2 1\n  current -1, history, position 0\n"},
      {"a count of 3 over two records gives two entries",
       {{u"\\M\\list.plt", Plt(3, {u"\\a.mp3", u"\\b.mp3"})}}, u"\\M\\list.plt", kAnsi, 0,
       "    0 \\a.mp3 \"a.mp3\" -2 1\n    1 \\b.mp3 \"b.mp3\" -2 1\n  current -1, history, position 0\n"},
      {"a last record cut short keeps what it has",
       {{u"\\M\\list.plt", Plt(2, {u"\\a.mp3", u"\\bbbbbbb.mp3"}).substr(0, 54 + 524 + 2 * 6 + 1)}},
       u"\\M\\list.plt", kAnsi, 0,
       "    0 \\a.mp3 \"a.mp3\" -2 1\n    1 \\bbbbb \"bbbbb\" -2 1\n  current -1, history, position 0\n"},
      {"a count of 0 gives nothing", {{u"\\M\\list.plt", Plt(0, {u"\\a.mp3"})}}, u"\\M\\list.plt", kAnsi, -1,
       "  current -1, history, position 0\n"},
      {"a file without the header is no PLT", {{u"\\M\\list.plt", "\\a.mp3\r\n\\b.mp3"}}, u"\\M\\list.plt", kAnsi, -1,
       "  current -1, history, position 0\n"},
      {"a PLT is read as bytes even where the default page cannot decode it",
       {{u"\\M\\list.plt", Plt(1, {u"\\a.mp3"})}}, u"\\M\\list.plt", 50000, 0,
       "    0 \\a.mp3 \"a.mp3\" -2 1\n  current -1, history, position 0\n"},
  });
}

TEST(PlaylistFileReader, WhatIsNoFileToRead) {
  ExpectReads({
      {"a stream path is one entry", {}, u"MMS://host/live", kAnsi, 0,
       "    0 MMS://host/live \"MMS://host/live\" -2 1\n  current -1, history, position 0\n"},
      {"a folder adds its media files",
       {{u"\\Music\\b.mp3", "x"}, {u"\\Music\\a.ogg", "x"}, {u"\\Music\\notes.txt", "x"}, {u"\\Music\\Sub\\c.mp3", "x"}},
       u"\\Music", kAnsi, 0,
       "    0 \\Music\\a.ogg \"a.ogg\" -2 1\n    1 \\Music\\b.mp3 \"b.mp3\" -2 1\n  current -1, history, position 0\n"},
      {"a path shorter than 6 characters", {{u"\\a.m3", "a.mp3\n"}}, u"\\a.m3", kAnsi, -1,
       "  current -1, history, position 0\n"},
      {"a missing file", {}, u"\\M\\missing.m3u", kAnsi, -1, "  current -1, history, position 0\n"},
      {"a file of one byte cannot be read as text", {{u"\\M\\list.m3u", "a"}}, u"\\M\\list.m3u", kAnsi, -1,
       "  current -1, history, position 0\n"},
      {"a list of comments gives nothing", {{u"\\M\\list.m3u", "#EXTM3U\r\n# nothing here\r\n\r\n"}}, u"\\M\\list.m3u",
       kAnsi, -1, "  current -1, history, position 0\n"},
  });
}

TEST(PlaylistFileReader, TheIndexOfTheFirstEntryReadAndOneBatchForTheViews) {
  ReaderDevice device;
  device.Write(u"\\M\\list.pls", "[playlist]\nFile1=a.mp3\nTitle1=A\nFile2=b.mp3\nLength2=3\n");
  device.Playlist().InsertItem(u"\\M\\old.mp3", -1, nullptr, -2);
  device.Playlist().SetCurrentIndex(0);
  device.AddView();
  EXPECT_EQ(device.Playlist().LoadFile(u"\\M\\list.pls", nullptr), 1);
  // The insertions reach the views when the batch ends, each entry complete by then.
  EXPECT_EQ(device.TakeTrace(),
            "  1: PLM_BATCH 0 0\n"
            "  1: PLM_ITEMCHANGED 1 1\n"
            "  1: PLM_ITEMCHANGED 2 2\n"
            "  1: PLM_CURRENT 0 0\n"
            "  1: PLM_BATCH 1 0\n");
  EXPECT_EQ(device.Listing(),
            "  * 0 \\M\\old.mp3 \"old.mp3\" -2 1\n    1 \\M\\a.mp3 \"A\" -2 1\n    2 \\M\\b.mp3 \"b.mp3\" 3000 1\n"
            "  current 0, history, position 0\n");

  // A file that cannot be read still opens and closes its batch, and changes nothing.
  EXPECT_EQ(device.Playlist().LoadFile(u"\\M\\missing.pls", nullptr), -1);
  EXPECT_EQ(device.TakeTrace(), "  1: PLM_BATCH 0 0\n  1: PLM_BATCH 1 0\n");
  EXPECT_EQ(device.Playlist().GetCount(), 3);
}

}  // namespace
}  // namespace zb::testing
