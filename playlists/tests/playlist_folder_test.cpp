// AddFolder over a real device folder: which files are taken (extension filter, minimum size,
// subfolders by level), the batch around them, the sort by path, and an insert position.
#include "script_case.h"

namespace {

TEST(PlaylistAddFolder, OneFolder) {
  ExpectScripts({
      {"level 0 adds the media files of one folder, sorted, skipping small files",
       R"(mkdir \Music
mkdir \Music\Rock
file \Music\b.mp3 400000
file \Music\A.MP3 400000
file \Music\Z.ogg 400000
file \Music\_intro.mp3 400000
file \Music\small.mp3 1000
file \Music\notes.txt 500000
file \Music\noext 500000
file \Music\Rock\c.ogg 400000
view 1
folder \Music 0 -1 - 307200
list
)",
       R"(> mkdir \Music
> mkdir \Music\Rock
> file \Music\b.mp3 400000
> file \Music\A.MP3 400000
> file \Music\Z.ogg 400000
> file \Music\_intro.mp3 400000
> file \Music\small.mp3 1000
> file \Music\notes.txt 500000
> file \Music\noext 500000
> file \Music\Rock\c.ogg 400000
> view 1
> folder \Music 0 -1 - 307200
  1: PLM_BATCH 0 0
  1: PLM_ITEMCHANGED 0 0
  1: PLM_ITEMCHANGED 1 1
  1: PLM_ITEMCHANGED 2 2
  1: PLM_ITEMCHANGED 3 3
  1: PLM_MOVED 0 0x00030001
  1: PLM_MOVED 0 0x00030002
  1: PLM_MOVED 0 0x00010000
  1: PLM_BATCH 1 0
  -> 0
> list
    0 \Music\_intro.mp3 "_intro.mp3" -2 1
    1 \Music\A.MP3 "A.MP3" -2 1
    2 \Music\b.mp3 "b.mp3" -2 1
    3 \Music\Z.ogg "Z.ogg" -2 1
  current -1, history, position 0
)"},
      {"a folder without media sends an empty batch",
       R"(mkdir \Empty
file \Empty\readme.txt 10
view 1
folder \Empty
folder \Missing
list
)",
       R"(> mkdir \Empty
> file \Empty\readme.txt 10
> view 1
> folder \Empty
  1: PLM_BATCH 0 0
  1: PLM_BATCH 1 0
  -> -1
> folder \Missing
  1: PLM_BATCH 0 0
  1: PLM_BATCH 1 0
  -> -1
> list
  current -1, history, position 0
)"},
  });
}

TEST(PlaylistAddFolder, Subfolders) {
  ExpectScripts({
      {"level 1 enters subfolders and sorts the whole new range",
       R"(mkdir \Music
mkdir \Music\Rock
mkdir \Music\Rock\Live
file \Music\b.mp3
file \Music\Rock\c.ogg
file \Music\Rock\Live\d.wma
file \Music\Rock\Live\x.flac
file \Music\Rock1.mp3
insert \first.mp3
view 1
folder \Music 1
list
)",
       R"(> mkdir \Music
> mkdir \Music\Rock
> mkdir \Music\Rock\Live
> file \Music\b.mp3
> file \Music\Rock\c.ogg
> file \Music\Rock\Live\d.wma
> file \Music\Rock\Live\x.flac
> file \Music\Rock1.mp3
> insert \first.mp3
  -> 0
> view 1
> folder \Music 1
  1: PLM_BATCH 0 0
  1: PLM_ITEMCHANGED 1 1
  1: PLM_ITEMCHANGED 2 2
  1: PLM_ITEMCHANGED 3 3
  1: PLM_ITEMCHANGED 4 4
  1: PLM_BATCH 1 0
  -> 1
> list
    0 \first.mp3 "first.mp3" -2 1
    1 \Music\b.mp3 "b.mp3" -2 1
    2 \Music\Rock\c.ogg "c.ogg" -2 1
    3 \Music\Rock\Live\d.wma "d.wma" -2 1
    4 \Music\Rock1.mp3 "Rock1.mp3" -2 1
  current -1, history, position 0
)"},
      {"the root folder and a filter of its own",
       R"(mkdir \Sub
file \a.m4a
file \b.MP3
file \Sub\c.m4a
view 1
folder \ 1 -1 *.M4A
list
)",
       R"(> mkdir \Sub
> file \a.m4a
> file \b.MP3
> file \Sub\c.m4a
> view 1
> folder \ 1 -1 *.M4A
  1: PLM_BATCH 0 0
  1: PLM_ITEMCHANGED 0 0
  1: PLM_ITEMCHANGED 1 1
  1: PLM_BATCH 1 0
  -> 0
> list
    0 \a.m4a "a.m4a" -2 1
    1 \Sub\c.m4a "c.m4a" -2 1
  current -1, history, position 0
)"},
  });
}

TEST(PlaylistAddFolder, InsertPosition) {
  ExpectScripts({
      {"files inserted at a position are sorted among themselves only",
       R"(mkdir \Music
file \Music\b.mp3
file \Music\a.mp3
file \Music\c.mp3
insert \z.mp3
insert \0.mp3
current 1
view 1
folder \Music 0 1
list
folder \Music 0 99
list
)",
       R"(> mkdir \Music
> file \Music\b.mp3
> file \Music\a.mp3
> file \Music\c.mp3
> insert \z.mp3
  -> 0
> insert \0.mp3
  -> 1
> current 1
> view 1
> folder \Music 0 1
  1: PLM_BATCH 0 0
  1: PLM_ITEMCHANGED 1 1
  1: PLM_CURRENT 2 0
  1: PLM_ITEMCHANGED 1 1
  1: PLM_CURRENT 3 0
  1: PLM_ITEMCHANGED 1 1
  1: PLM_CURRENT 4 0
  1: PLM_MOVED 0 0x00030001
  1: PLM_BATCH 1 0
  -> 1
> list
    0 \z.mp3 "z.mp3" -2 1
    1 \Music\a.mp3 "a.mp3" -2 1
    2 \Music\b.mp3 "b.mp3" -2 1
    3 \Music\c.mp3 "c.mp3" -2 1
  * 4 \0.mp3 "0.mp3" -2 1
  current 4, history, position 0
> folder \Music 0 99
  1: PLM_BATCH 0 0
  1: PLM_ITEMCHANGED 5 5
  1: PLM_ITEMCHANGED 6 6
  1: PLM_ITEMCHANGED 7 7
  1: PLM_BATCH 1 0
  -> 5
> list
    0 \z.mp3 "z.mp3" -2 1
    1 \Music\a.mp3 "a.mp3" -2 1
    2 \Music\b.mp3 "b.mp3" -2 1
    3 \Music\c.mp3 "c.mp3" -2 1
  * 4 \0.mp3 "0.mp3" -2 1
    5 \Music\a.mp3 "a.mp3" -2 1
    6 \Music\b.mp3 "b.mp3" -2 1
    7 \Music\c.mp3 "c.mp3" -2 1
  current 4, history, position 0
)"},
  });
}

}  // namespace
