// Reorder commands: sorts by path, file name and display name with the exchanges the views see,
// ranges, reversing, shuffling, and the sorts by tags that go through the media library.
#include <algorithm>
#include <string>
#include <vector>

#include "script_case.h"

namespace {

TEST(PlaylistReorder, ByPath) {
  ExpectScripts({
      {"a backslash sorts before any other character, case folded",
       R"(insert \A\B1.mp3
insert \a\b\x.mp3
insert \A\B\Y.mp3
insert \A\a.mp3
current 0
view 1
reorder 3
list
)",
       R"(> insert \A\B1.mp3
  -> 0
> insert \a\b\x.mp3
  -> 1
> insert \A\B\Y.mp3
  -> 2
> insert \A\a.mp3
  -> 3
> current 0
> view 1
> reorder 3
  1: PLM_BATCH 0 0
  1: PLM_CURRENT 3 0
  1: PLM_MOVED 0 0x00030000
  1: PLM_BATCH 1 0
> list
    0 \A\a.mp3 "a.mp3" -2 1
    1 \a\b\x.mp3 "x.mp3" -2 1
    2 \A\B\Y.mp3 "Y.mp3" -2 1
  * 3 \A\B1.mp3 "B1.mp3" -2 1
  current 3, history, position 0
)"},
      {"a range is sorted alone and without a batch",
       R"(insert \d.mp3
insert \c.mp3
insert \b.mp3
insert \a.mp3
view 1
reorder 3 1 2
list
reorder 3 2 9
reorder 3 -1 2
list
)",
       R"(> insert \d.mp3
  -> 0
> insert \c.mp3
  -> 1
> insert \b.mp3
  -> 2
> insert \a.mp3
  -> 3
> view 1
> reorder 3 1 2
  1: PLM_MOVED 0 0x00020001
> list
    0 \d.mp3 "d.mp3" -2 1
    1 \b.mp3 "b.mp3" -2 1
    2 \c.mp3 "c.mp3" -2 1
    3 \a.mp3 "a.mp3" -2 1
  current -1, history, position 0
> reorder 3 2 9
> reorder 3 -1 2
> list
    0 \d.mp3 "d.mp3" -2 1
    1 \b.mp3 "b.mp3" -2 1
    2 \c.mp3 "c.mp3" -2 1
    3 \a.mp3 "a.mp3" -2 1
  current -1, history, position 0
)"},
  });
}

TEST(PlaylistReorder, ByFileName) {
  ExpectScripts({
      {"the file names decide; a path without a backslash compares whole",
       R"(insert \Z\b.mp3
insert \A\c.mp3
insert \Y\A.mp3
insert http:x
insert \M\b.mp3
view 1
reorder 2
list
)",
       R"(> insert \Z\b.mp3
  -> 0
> insert \A\c.mp3
  -> 1
> insert \Y\A.mp3
  -> 2
> insert http:x
  -> 3
> insert \M\b.mp3
  -> 4
> view 1
> reorder 2
  1: PLM_BATCH 0 0
  1: PLM_MOVED 0 0x00030000
  1: PLM_MOVED 0 0x00020001
  1: PLM_MOVED 0 0x00040002
  1: PLM_BATCH 1 0
> list
    0 http:x "http:x" -2 1
    1 \Y\A.mp3 "A.mp3" -2 1
    2 \M\b.mp3 "b.mp3" -2 1
    3 \Z\b.mp3 "b.mp3" -2 1
    4 \A\c.mp3 "c.mp3" -2 1
  current -1, history, position 0
)"},
  });
}

TEST(PlaylistReorder, ByDisplayName) {
  ExpectScripts({
      {"pending entries are read first, then titles sort them",
       R"(read \1.mp3 "Charlie" 1000
read \2.mp3 "alpha" 2000
insert \1.mp3
insert \2.mp3
insert \3.mp3 -1 "Bravo" 3000
view 1
reorder 1
list
)",
       R"(> read \1.mp3 "Charlie" 1000
> read \2.mp3 "alpha" 2000
> insert \1.mp3
  -> 0
> insert \2.mp3
  -> 1
> insert \3.mp3 -1 "Bravo" 3000
  -> 2
> view 1
> reorder 1
  core: ReadItemInfo 0 \1.mp3 0
  1: PLM_ITEMINFO 0 0
  core: ReadItemInfo 1 \2.mp3 0
  1: PLM_ITEMINFO 1 1
  1: PLM_BATCH 0 0
  1: PLM_MOVED 0 0x00010000
  1: PLM_MOVED 0 0x00020001
  1: PLM_BATCH 1 0
> list
    0 \2.mp3 "alpha" 2000 0
    1 \3.mp3 "Bravo" 3000 0
    2 \1.mp3 "Charlie" 1000 0
  current -1, history, position 0
)"},
  });
}

TEST(PlaylistReorder, Reverse) {
  ExpectScripts({
      {"exchanges from both ends",
       R"(insert \a.mp3
insert \b.mp3
insert \c.mp3
insert \d.mp3
insert \e.mp3
current 1
view 1
reorder 4
list
reorder 9
)",
       R"(> insert \a.mp3
  -> 0
> insert \b.mp3
  -> 1
> insert \c.mp3
  -> 2
> insert \d.mp3
  -> 3
> insert \e.mp3
  -> 4
> current 1
> view 1
> reorder 4
  1: PLM_MOVED 0 0x00040000
  1: PLM_CURRENT 3 0
  1: PLM_MOVED 0 0x00030001
> list
    0 \e.mp3 "e.mp3" -2 1
    1 \d.mp3 "d.mp3" -2 1
    2 \c.mp3 "c.mp3" -2 1
  * 3 \b.mp3 "b.mp3" -2 1
    4 \a.mp3 "a.mp3" -2 1
  current 3, history, position 0
> reorder 9
)"},
  });
}

TEST(PlaylistReorder, ByTags) {
  ExpectScripts({
      {"artist, album and track number through the media library",
       R"(insert \x\3.mp3 -1 "Third" 3000
insert \x\1.mp3
insert \x\2.mp3
insert http://radio.example/live
tag \x\1.mp3 Artist=Beta Album=One "Track number=2"
tag \x\2.mp3 Artist=Beta Album=One "Track number=1"
tag \x\3.mp3 Artist=Alpha Album=Two "Track number=9"
view 1
reorder 7
list
)",
       R"(> insert \x\3.mp3 -1 "Third" 3000
  -> 0
> insert \x\1.mp3
  -> 1
> insert \x\2.mp3
  -> 2
> insert http://radio.example/live
  -> 3
> tag \x\1.mp3 Artist=Beta Album=One "Track number=2"
> tag \x\2.mp3 Artist=Beta Album=One "Track number=1"
> tag \x\3.mp3 Artist=Alpha Album=Two "Track number=9"
> view 1
> reorder 7
  1: PLM_RESET 0 0
  1: PLM_BATCH 0 0
  1: PLM_ITEMCHANGED 0 0
  1: PLM_ITEMCHANGED 1 1
  1: PLM_ITEMINFO 1 1
  1: PLM_ITEMCHANGED 2 2
  1: PLM_ITEMINFO 2 2
  1: PLM_ITEMCHANGED 3 3
  1: PLM_ITEMINFO 3 3
  1: PLM_BATCH 1 0
> list
    0 http://radio.example/live "http://radio.example/live" -2 1
    1 \x\3.mp3 "Third" 3000 1
    2 \x\2.mp3 "2.mp3" -2 1
    3 \x\1.mp3 "1.mp3" -2 1
  current -1, history, position 0
)"},
      {"album artist first, before the artist",
       R"(insert \s\a.mp3
insert \s\b.mp3
tag \s\a.mp3 "Album artist=Zed" Artist=Alpha
tag \s\b.mp3 "Album artist=Ann" Artist=Zulu
reorder 6
list
)",
       R"(> insert \s\a.mp3
  -> 0
> insert \s\b.mp3
  -> 1
> tag \s\a.mp3 "Album artist=Zed" Artist=Alpha
> tag \s\b.mp3 "Album artist=Ann" Artist=Zulu
> reorder 6
> list
    0 \s\b.mp3 "b.mp3" -2 1
    1 \s\a.mp3 "a.mp3" -2 1
  current -1, history, position 0
)"},
      {"song title first",
       R"(insert \s\a.mp3
insert \s\b.mp3
tag \s\a.mp3 "Song title=Zulu"
tag \s\b.mp3 "Song title=Echo"
reorder 8
list
)",
       R"(> insert \s\a.mp3
  -> 0
> insert \s\b.mp3
  -> 1
> tag \s\a.mp3 "Song title=Zulu"
> tag \s\b.mp3 "Song title=Echo"
> reorder 8
> list
    0 \s\b.mp3 "b.mp3" -2 1
    1 \s\a.mp3 "a.mp3" -2 1
  current -1, history, position 0
)"},
  });
}

std::vector<std::u16string> Paths(const CPlaylist& playlist) {
  std::vector<std::u16string> paths;
  for (int i = 0; i < playlist.GetCount(); ++i) paths.push_back(playlist.GetItemPath(i));
  return paths;
}

TEST(PlaylistReorder, ShuffleKeepsEveryEntryAndTheCurrentOne) {
  zb::testing::TestDevice device;
  zb::testing::TakeOverClock(5000);
  for (unsigned seed : {1u, 2u, 3u, 77u}) {
    SCOPED_TRACE(seed);
    CPlaylistScript script;
    std::string fill;
    for (int i = 0; i < 40; ++i) fill += "insert \\" + std::to_string(i) + ".mp3\n";
    ASSERT_TRUE(script.Run(fill + "current 17\nview 1\nseed " + std::to_string(seed) + "\n"));
    CPlaylist& playlist = script.Playlist();
    const std::vector<std::u16string> before = Paths(playlist);
    playlist.Reorder(5, 0, -1);
    std::vector<std::u16string> after = Paths(playlist);
    EXPECT_NE(after, before);
    EXPECT_EQ(playlist.GetItemPath(playlist.GetCurrentIndex()), u"\\17.mp3");
    std::sort(after.begin(), after.end());
    std::vector<std::u16string> sorted = before;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(after, sorted);
    // One exchange per entry, each told to the view (an entry drawn against itself stays put).
    const std::string& trace = script.Output();
    size_t moves = 0;
    for (size_t at = trace.find("PLM_MOVED"); at != std::string::npos; at = trace.find("PLM_MOVED", at + 1)) ++moves;
    EXPECT_GT(moves, 30u);
    EXPECT_LE(moves, 40u);
  }
  zb::testing::ReleaseClock();
}

}  // namespace
