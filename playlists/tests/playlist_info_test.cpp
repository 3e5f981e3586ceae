// What the player learns about entries: SetItemInfo's merges (titles, URL-like titles, lengths
// that never get worse, info state), replacements of an entry's path, and reading through the core.
#include "script_case.h"

namespace {

TEST(PlaylistItemInfo, Merges) {
  ExpectScripts({
      {"a title and a known length settle the entry",
       R"(view 1
insert \a.mp3
info 0 \a.mp3 "Song A" 200000
info 0 \a.mp3 - -1
info 0 \a.mp3 "Song A" 200000
insert \b.mp3
info 1 \b.mp3 - -1
list
)",
       R"(> view 1
> insert \a.mp3
  1: PLM_ITEMCHANGED 0 0
  -> 0
> info 0 \a.mp3 "Song A" 200000
  1: PLM_ITEMINFO 0 0
> info 0 \a.mp3 - -1
> info 0 \a.mp3 "Song A" 200000
> insert \b.mp3
  1: PLM_ITEMCHANGED 1 1
  -> 1
> info 1 \b.mp3 - -1
  1: PLM_ITEMINFO 1 1
> list
    0 \a.mp3 "Song A" 200000 0
    1 \b.mp3 "b.mp3" -1 0
  current -1, history, position 0
)"},
      {"a URL offered as title does not replace a real title",
       R"(view 1
insert \a.mp3 -1 "Real Title"
info 0 \a.mp3 "http://radio.example/live"
insert http://x.example/s -1 "http://x.example/s"
info 1 http://x.example/s "HTTP://x.example/now playing"
insert \c.mp3 -1 "Plain"
info 2 \c.mp3 "abcdefghijk://not a scheme"
insert \d.mp3 -1 "Plain"
info 3 \d.mp3 "mms 1://spaced"
list
)",
       R"(> view 1
> insert \a.mp3 -1 "Real Title"
  1: PLM_ITEMCHANGED 0 0
  -> 0
> info 0 \a.mp3 "http://radio.example/live"
> insert http://x.example/s -1 "http://x.example/s"
  1: PLM_ITEMCHANGED 1 1
  -> 1
> info 1 http://x.example/s "HTTP://x.example/now playing"
  1: PLM_ITEMINFO 1 1
> insert \c.mp3 -1 "Plain"
  1: PLM_ITEMCHANGED 2 2
  -> 2
> info 2 \c.mp3 "abcdefghijk://not a scheme"
  1: PLM_ITEMINFO 2 2
> insert \d.mp3 -1 "Plain"
  1: PLM_ITEMCHANGED 3 3
  -> 3
> info 3 \d.mp3 "mms 1://spaced"
  1: PLM_ITEMINFO 3 3
> list
    0 \a.mp3 "Real Title" -2 1
    1 http://x.example/s "HTTP://x.example/now playing" -2 1
    2 \c.mp3 "abcdefghijk://not a scheme" -2 1
    3 \d.mp3 "mms 1://spaced" -2 1
  current -1, history, position 0
)"},
      {"the current entry, bad indices and empty paths",
       R"(view 1
info -1 \a.mp3 "Nobody"
insert \a.mp3
insert \b.mp3
current 1
info -1 \b.mp3 "Current B" 5000
info 2 \b.mp3 "Out of range"
info 0 ""
list
)",
       R"(> view 1
> info -1 \a.mp3 "Nobody"
> insert \a.mp3
  1: PLM_ITEMCHANGED 0 0
  -> 0
> insert \b.mp3
  1: PLM_ITEMCHANGED 1 1
  -> 1
> current 1
  1: PLM_CURRENT 1 0
> info -1 \b.mp3 "Current B" 5000
  1: PLM_ITEMINFO 1 1
> info 2 \b.mp3 "Out of range"
> info 0 ""
> list
    0 \a.mp3 "a.mp3" -2 1
  * 1 \b.mp3 "Current B" 5000 0
  current 1, history, position 0
)"},
  });
}

TEST(PlaylistItemInfo, Replacements) {
  ExpectScripts({
      {"a new path without a title replaces the entry, with a title it only settles it",
       R"(view 1
insert \a.mp3 -1 "Old" 1000
info 0 \new.mp3 - 3000
list
insert \b.mp3 -1 "Kept"
info 1 \other.mp3 "Ignored" 9000
insert \c.mp3 -1 "Same"
info 2 \c.mp3 "Same"
list
)",
       R"(> view 1
> insert \a.mp3 -1 "Old" 1000
  1: PLM_ITEMCHANGED 0 0
  -> 0
> info 0 \new.mp3 - 3000
  1: PLM_ITEMREPLACED 0 0
> list
    0 \new.mp3 "new.mp3" 3000 1
  current -1, history, position 0
> insert \b.mp3 -1 "Kept"
  1: PLM_ITEMCHANGED 1 1
  -> 1
> info 1 \other.mp3 "Ignored" 9000
> insert \c.mp3 -1 "Same"
  1: PLM_ITEMCHANGED 2 2
  -> 2
> info 2 \c.mp3 "Same"
> list
    0 \new.mp3 "new.mp3" 3000 1
    1 \b.mp3 "Kept" -2 0
    2 \c.mp3 "Same" -2 0
  current -1, history, position 0
)"},
  });
}

TEST(PlaylistItemInfo, Reading) {
  ExpectScripts({
      {"the core reports what it read; failed attempts are counted until given up",
       R"(view 1
read \a.mp3 "Read A" 180000
insert \a.mp3
insert \b.mp3
request 0
request 1 1
request 1
list
mark 1 giveup
mark 1 retry
request 1
validate 0
validate 7
list
)",
       R"(> view 1
> read \a.mp3 "Read A" 180000
> insert \a.mp3
  1: PLM_ITEMCHANGED 0 0
  -> 0
> insert \b.mp3
  1: PLM_ITEMCHANGED 1 1
  -> 1
> request 0
  core: ReadItemInfo 0 \a.mp3 0
  1: PLM_ITEMINFO 0 0
> request 1 1
  core: ReadItemInfo 1 \b.mp3 1
> request 1
  core: ReadItemInfo 1 \b.mp3 0
> list
    0 \a.mp3 "Read A" 180000 0
    1 \b.mp3 "b.mp3" -2 3
  current -1, history, position 0
> mark 1 giveup
> mark 1 retry
> request 1
  core: ReadItemInfo 1 \b.mp3 0
> validate 0
  core: ReadItemInfo 0 \a.mp3 1
> validate 7
> list
    0 \a.mp3 "Read A" 180000 0
    1 \b.mp3 "b.mp3" -2 2
  current -1, history, position 0
)"},
  });
}

}  // namespace
