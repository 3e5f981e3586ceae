// Next-item choice in scripts: in order with wrap and rewind, peeking, the manual-advance
// setting, and the two-entry shuffle rounds whose order is fixed whatever the random source.
#include "script_case.h"

namespace {

TEST(PlaylistNext, InOrder) {
  ExpectScripts({
      {"the list wraps; an automatic advance past the last entry rewinds and stops",
       R"(view 1
next
insert \a.mp3
insert \b.mp3
insert \c.mp3
next
next manual
next
next
list
current 2
next manual
previous
repeat on
previous
next
next
list
)",
       R"(> view 1
> next
  -> 0
> insert \a.mp3
  1: PLM_ITEMCHANGED 0 0
  -> 0
> insert \b.mp3
  1: PLM_ITEMCHANGED 1 1
  -> 1
> insert \c.mp3
  1: PLM_ITEMCHANGED 2 2
  -> 2
> next
  1: PLM_CURRENT 0 0
  -> 1
> next manual
  1: PLM_CURRENT 1 0
  -> 1
> next
  1: PLM_CURRENT 2 0
  -> 1
> next
  1: PLM_CURRENT 0 0
  -> 0
> list
  * 0 \a.mp3 "a.mp3" -2 1
    1 \b.mp3 "b.mp3" -2 1
    2 \c.mp3 "c.mp3" -2 1
  current 0, history, position 0
> current 2
  1: PLM_CURRENT 2 0
> next manual
  1: PLM_CURRENT 0 0
  -> 1
> previous
  -> 0
> repeat on
> previous
  1: PLM_CURRENT 2 0
  -> 1
> next
  1: PLM_CURRENT 0 0
  -> 1
> next
  1: PLM_CURRENT 1 0
  -> 1
> list
    0 \a.mp3 "a.mp3" -2 1
  * 1 \b.mp3 "b.mp3" -2 1
    2 \c.mp3 "c.mp3" -2 1
  current 1, history, position 0
)"},
      {"peeking shows what the next automatic advance plays and moves nothing",
       R"(insert \a.mp3
insert \b.mp3
insert \c.mp3
current 1
view 1
peek 1
peek 2
peek 0
next
peek 1
repeat on
peek 1
list
)",
       R"(> insert \a.mp3
  -> 0
> insert \b.mp3
  -> 1
> insert \c.mp3
  -> 2
> current 1
> view 1
> peek 1
  -> 1
  peeked \c.mp3
> peek 2
  -> 0
  peeked 
> peek 0
  -> 0
  peeked 
> next
  1: PLM_CURRENT 2 0
  -> 1
> peek 1
  -> 0
  peeked 
> repeat on
> peek 1
  -> 1
  peeked \a.mp3
> list
    0 \a.mp3 "a.mp3" -2 1
    1 \b.mp3 "b.mp3" -2 1
  * 2 \c.mp3 "c.mp3" -2 1
  current 2, history, position 0
)"},
  });
}

TEST(PlaylistNext, ManualAdvance) {
  ExpectScripts({
      {"an entry that ends stops there, or with repeat plays again",
       R"(insert \a.mp3
insert \b.mp3
advance manual
view 1
next
next
peek 1
next manual
repeat on
next
peek 1
list
)",
       R"(> insert \a.mp3
  -> 0
> insert \b.mp3
  -> 1
> advance manual
> view 1
> next
  1: PLM_CURRENT 0 0
  -> 1
> next
  -> 0
> peek 1
  -> 0
  peeked 
> next manual
  1: PLM_CURRENT 1 0
  -> 1
> repeat on
> next
  1: PLM_CURRENT 1 0
  -> 1
> peek 1
  -> 1
  peeked \b.mp3
> list
    0 \a.mp3 "a.mp3" -2 1
  * 1 \b.mp3 "b.mp3" -2 1
  current 1, history, position 0
)"},
  });
}

TEST(PlaylistNext, ShuffleRounds) {
  ExpectScripts({
      {"two entries: the other entry, then the end of the round, or with repeat a new round",
       R"(shuffle on
insert \a.mp3
insert \b.mp3
current 0
clearhistory
view 1
next
list
next
list
previous
previous
repeat on
next
list
previous
list
next
list
)",
       R"(> shuffle on
> insert \a.mp3
  -> 0
> insert \b.mp3
  -> 1
> current 0
> clearhistory
> view 1
> next
  1: PLM_CURRENT 1 0
  -> 1
> list
    0 \a.mp3 "a.mp3" -2 1
  * 1 \b.mp3 "b.mp3" -2 1
  current 1, history 0 1, position 2
> next
  -> 0
> list
    0 \a.mp3 "a.mp3" -2 1
  * 1 \b.mp3 "b.mp3" -2 1
  current 1, history 0 1, position 2
> previous
  1: PLM_CURRENT 0 0
  -> 1
> previous
  -> 0
> repeat on
> next
  1: PLM_CURRENT 1 0
  -> 1
> list
    0 \a.mp3 "a.mp3" -2 1
  * 1 \b.mp3 "b.mp3" -2 1
  current 1, history 0 1, position 2
> previous
  1: PLM_CURRENT 0 0
  -> 1
> list
  * 0 \a.mp3 "a.mp3" -2 1
    1 \b.mp3 "b.mp3" -2 1
  current 0, history 0 1, position 1
> next
  1: PLM_CURRENT 1 0
  -> 1
> list
    0 \a.mp3 "a.mp3" -2 1
  * 1 \b.mp3 "b.mp3" -2 1
  current 1, history 0 1, position 2
)"},
      {"a peek at the end of a round opens the next round for Next",
       R"(shuffle on
repeat on
insert \a.mp3
insert \b.mp3
current 0
clearhistory
next
list
view 1
peek 1
list
next
list
)",
       R"(> shuffle on
> repeat on
> insert \a.mp3
  -> 0
> insert \b.mp3
  -> 1
> current 0
> clearhistory
> next
  -> 1
> list
    0 \a.mp3 "a.mp3" -2 1
  * 1 \b.mp3 "b.mp3" -2 1
  current 1, history 0 1, position 2
> view 1
> peek 1
  -> 1
  peeked \a.mp3
> list
    0 \a.mp3 "a.mp3" -2 1
  * 1 \b.mp3 "b.mp3" -2 1
  current 1, history 1 0, position 1
> next
  1: PLM_CURRENT 0 0
  -> 1
> list
  * 0 \a.mp3 "a.mp3" -2 1
    1 \b.mp3 "b.mp3" -2 1
  current 0, history 1 0, position 2
)"},
  });
}

TEST(PlaylistNext, WithoutACoreNothingMoves) {
  zb::testing::TestDevice device;
  CPlaylist playlist(nullptr);
  playlist.InsertItem(u"\\a.mp3", -1, nullptr, -2);
  playlist.InsertItem(u"\\b.mp3", -1, nullptr, -2);
  playlist.SetCurrentIndex(0);
  EXPECT_EQ(playlist.Next(TRUE), 0);
  WCHAR path[MAX_PATH] = u"junk";
  EXPECT_EQ(playlist.PeekAhead(1, path, MAX_PATH), 0);
  EXPECT_EQ(std::u16string(path), u"");
  EXPECT_EQ(playlist.Previous(), 0);  // no repeat without a core
  EXPECT_EQ(playlist.GetCurrentIndex(), 0);
}

TEST(PlaylistNext, PeekedPathsThatDoNotFitAreNotCopied) {
  zb::testing::TestDevice device;
  CScriptCore core;
  CPlaylist playlist(&core);
  playlist.InsertItem(u"\\a.mp3", -1, nullptr, -2);
  playlist.InsertItem(u"\\bb.mp3", -1, nullptr, -2);
  WCHAR path[8] = u"junk";
  EXPECT_EQ(playlist.PeekAhead(1, path, 7), 1);  // "\a.mp3" and its terminator
  EXPECT_EQ(std::u16string(path), u"\\a.mp3");
  playlist.SetCurrentIndex(0);
  EXPECT_EQ(playlist.PeekAhead(1, path, 7), 1);  // "\bb.mp3" needs 8
  EXPECT_EQ(std::u16string(path), u"");
  EXPECT_EQ(playlist.PeekAhead(1, nullptr, 0), 1);
}

}  // namespace
