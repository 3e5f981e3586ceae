// Playlist edits, each script checked against the trace its view receives and the list it leaves:
// inserts (with -1 and beyond the count), removals of and around the current entry, moves with
// and without shift, the current index, and the history following the entries it names.
#include "script_case.h"

namespace {

TEST(PlaylistEdits, Inserts) {
  ExpectScripts({
      {"inserts append beyond the count and before the current entry",
       R"(view 1
current 0
insert \a.mp3
insert \b.mp3 7
insert \c.mp3 2
current 1
insert \y.mp3 0
insert "" 0
list
)",
       R"(> view 1
> current 0
  1: PLM_CURRENT -1 0
> insert \a.mp3
  1: PLM_ITEMCHANGED 0 0
  -> 0
> insert \b.mp3 7
  1: PLM_ITEMCHANGED 1 1
  -> 1
> insert \c.mp3 2
  1: PLM_ITEMCHANGED 2 2
  -> 2
> current 1
  1: PLM_CURRENT 1 0
> insert \y.mp3 0
  1: PLM_ITEMCHANGED 0 0
  1: PLM_CURRENT 2 0
  -> 0
> insert "" 0
  -> -1
> list
    0 \y.mp3 "y.mp3" -2 1
    1 \a.mp3 "a.mp3" -2 1
  * 2 \b.mp3 "b.mp3" -2 1
    3 \c.mp3 "c.mp3" -2 1
  current 2, history, position 0
)"},
      {"appending at -1 leaves the current entry where it is",
       R"(view 1
insert \a.mp3
insert \b.mp3 -1
list
current 1
insert \c.mp3 -1
insert \d.mp3 3
insert \e.mp3
list
)",
       R"(> view 1
> insert \a.mp3
  1: PLM_ITEMCHANGED 0 0
  -> 0
> insert \b.mp3 -1
  1: PLM_ITEMCHANGED 1 1
  -> 1
> list
    0 \a.mp3 "a.mp3" -2 1
    1 \b.mp3 "b.mp3" -2 1
  current -1, history, position 0
> current 1
  1: PLM_CURRENT 1 0
> insert \c.mp3 -1
  1: PLM_ITEMCHANGED 2 2
  -> 2
> insert \d.mp3 3
  1: PLM_ITEMCHANGED 3 3
  -> 3
> insert \e.mp3
  1: PLM_ITEMCHANGED 4 4
  -> 4
> list
    0 \a.mp3 "a.mp3" -2 1
  * 1 \b.mp3 "b.mp3" -2 1
    2 \c.mp3 "c.mp3" -2 1
    3 \d.mp3 "d.mp3" -2 1
    4 \e.mp3 "e.mp3" -2 1
  current 1, history, position 0
)"},
  });
}

TEST(PlaylistEdits, Removals) {
  ExpectScripts({
      {"removing the current entry makes the one before it current",
       R"(insert \a.mp3
insert \b.mp3
insert \c.mp3
insert \d.mp3
view 1
current 2
remove 3
remove 2
remove 0
remove 5
remove -1
list
remove 0
list
)",
       R"(> insert \a.mp3
  -> 0
> insert \b.mp3
  -> 1
> insert \c.mp3
  -> 2
> insert \d.mp3
  -> 3
> view 1
> current 2
  1: PLM_CURRENT 2 0
> remove 3
  1: PLM_REMOVED 3 0
> remove 2
  1: PLM_REMOVED 2 0
  1: PLM_CURRENT 1 0
> remove 0
  1: PLM_REMOVED 0 0
  1: PLM_CURRENT 0 0
> remove 5
> remove -1
> list
  * 0 \b.mp3 "b.mp3" -2 1
  current 0, history, position 0
> remove 0
  1: PLM_REMOVED 0 0
  1: PLM_CURRENT -1 0
> list
  current -1, history, position 0
)"},
  });
}

TEST(PlaylistEdits, Moves) {
  ExpectScripts({
      {"moves with and without shift",
       R"(insert \a.mp3
insert \b.mp3
insert \c.mp3
insert \d.mp3
insert \e.mp3
view 1
current 2
move 0 3 shift
move 0 3
move 4 1 shift
move 1 1 shift
move 0 9
list
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
> view 1
> current 2
  1: PLM_CURRENT 2 0
> move 0 3 shift
  1: PLM_CURRENT 1 0
  1: PLM_MOVED 1 0x00030000
> move 0 3
  1: PLM_MOVED 0 0x00030000
> move 4 1 shift
  1: PLM_CURRENT 2 0
  1: PLM_MOVED 1 0x00010004
> move 1 1 shift
> move 0 9
> list
    0 \a.mp3 "a.mp3" -2 1
    1 \e.mp3 "e.mp3" -2 1
  * 2 \c.mp3 "c.mp3" -2 1
    3 \d.mp3 "d.mp3" -2 1
    4 \b.mp3 "b.mp3" -2 1
  current 2, history, position 0
)"},
      {"the current entry travelling with a shift move is reported at every step",
       R"(insert \a.mp3
insert \b.mp3
insert \c.mp3
insert \d.mp3
current 0
view 1
move 0 3 shift
move 3 0
list
)",
       R"(> insert \a.mp3
  -> 0
> insert \b.mp3
  -> 1
> insert \c.mp3
  -> 2
> insert \d.mp3
  -> 3
> current 0
> view 1
> move 0 3 shift
  1: PLM_CURRENT 1 0
  1: PLM_CURRENT 2 0
  1: PLM_CURRENT 3 0
  1: PLM_MOVED 1 0x00030000
> move 3 0
  1: PLM_CURRENT 0 0
  1: PLM_MOVED 0 0x00000003
> list
  * 0 \a.mp3 "a.mp3" -2 1
    1 \c.mp3 "c.mp3" -2 1
    2 \d.mp3 "d.mp3" -2 1
    3 \b.mp3 "b.mp3" -2 1
  current 0, history, position 0
)"},
  });
}

TEST(PlaylistEdits, CurrentIndex) {
  ExpectScripts({
      {"setting the current index clamps it",
       R"(view 1
current 3
insert \a.mp3
insert \b.mp3
current -5
current 9
current 0
clear
list
)",
       R"(> view 1
> current 3
  1: PLM_CURRENT -1 0
> insert \a.mp3
  1: PLM_ITEMCHANGED 0 0
  -> 0
> insert \b.mp3
  1: PLM_ITEMCHANGED 1 1
  -> 1
> current -5
  1: PLM_CURRENT 0 0
> current 9
  1: PLM_CURRENT 1 0
> current 0
  1: PLM_CURRENT 0 0
> clear
  1: PLM_RESET 0 0
> list
  current -1, history, position 0
)"},
  });
}

TEST(PlaylistEdits, History) {
  ExpectScripts({
      {"history values follow inserts, moves and removals",
       R"(shuffle on
insert \a.mp3
insert \b.mp3
current 0
clearhistory
next
list
insert \c.mp3 0
list
insert \d.mp3 1
move 0 3 shift
list
move 1 2
list
remove 1
list
)",
       R"(> shuffle on
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
> insert \c.mp3 0
  -> 0
> list
    0 \c.mp3 "c.mp3" -2 1
    1 \a.mp3 "a.mp3" -2 1
  * 2 \b.mp3 "b.mp3" -2 1
  current 2, history 1 2, position 2
> insert \d.mp3 1
  -> 1
> move 0 3 shift
> list
    0 \d.mp3 "d.mp3" -2 1
    1 \a.mp3 "a.mp3" -2 1
  * 2 \b.mp3 "b.mp3" -2 1
    3 \c.mp3 "c.mp3" -2 1
  current 2, history 1 2, position 2
> move 1 2
> list
    0 \d.mp3 "d.mp3" -2 1
  * 1 \b.mp3 "b.mp3" -2 1
    2 \a.mp3 "a.mp3" -2 1
    3 \c.mp3 "c.mp3" -2 1
  current 1, history 2 1, position 2
> remove 1
> list
  * 0 \d.mp3 "d.mp3" -2 1
    1 \a.mp3 "a.mp3" -2 1
    2 \c.mp3 "c.mp3" -2 1
  current 0, history 1, position 1
)"},
  });
}

}  // namespace
