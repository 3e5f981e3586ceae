// The title-format language: the documented examples and more as one table, the 518-character
// limit, blocks that drop on missing fields, functions that fail the whole title, and the cache.
#include <gtest/gtest.h>

#include "helpers.h"

using namespace testing_helpers;

namespace {

enum Tags : unsigned {
  kArtist = 1,
  kTitle = 2,
  kFileName = 4,
  kDisplay = 8,
  kTrack = 16,
  kLength = 32,
  kSubtitle = 64,
  kStation = 128,
};
constexpr unsigned kFull = kArtist | kTitle | kFileName | kTrack | kLength;

Ref<CMediaItem> ItemWith(unsigned tags) {
  auto item = NewItem(u"\\Music\\waterloo.mp3");
  if (tags & kArtist) item->SetString(TAG_ARTIST, u"Abba");
  if (tags & kTitle) item->SetString(TAG_SONG_TITLE, u"Waterloo");
  if (tags & kFileName) item->SetString(TAG_FILE_NAME, u"waterloo.mp3");
  if (tags & kDisplay) item->SetString(TAG_DISPLAY_TITLE, u"Live");
  if (tags & kTrack) item->SetInt(TAG_TRACK_NUMBER, 7);
  if (tags & kLength) item->SetInt(TAG_LENGTH, 185000);
  if (tags & kSubtitle) item->SetString(TAG_SUBTITLE, u"News");
  if (tags & kStation) item->SetString(TAG_STATION_ID, u"R1");
  return item;
}

struct Formatted {
  HRESULT hr;
  std::u16string text;
  LONG missing;
};

Formatted Format(IMediaItem* item, std::u16string_view format) {
  std::u16string terminated(format);
  BSTR title = nullptr;
  LONG missing = -7;
  HRESULT hr = item->FormatTitle(MEDIAITEM_TITLE_FORMAT, 0, terminated.c_str(), &title, &missing);
  return {hr, Take(title), missing};
}

constexpr const char16_t* kDefault = u"%?5<%5 - %?7<%7|%3>|%?7<%7|%?9<%9|%3>>>";
constexpr const char16_t* kStream = u"%?26<%26 (%301)|%301>";

struct TitleCase {
  const char16_t* format;
  unsigned tags;
  const char16_t* expected;  // nullptr: the whole title fails
  LONG missing;
};

const TitleCase kCases[] = {
    // The player's default display title and the stream title.
    {kDefault, kFull, u"Abba - Waterloo", 0},
    {kDefault, kArtist | kFileName, u"Abba - waterloo.mp3", 0},
    {kDefault, kTitle | kFileName, u"Waterloo", 0},
    {kDefault, kDisplay | kFileName, u"Live", 0},
    {kDefault, kFileName, u"waterloo.mp3", 0},
    {kDefault, 0, u"", 1},
    {kStream, kSubtitle | kStation, u"News (R1)", 0},
    {kStream, kStation, u"R1", 0},
    // Fields by name and by number.
    {u"%Artist% - %Song title%", kFull, u"Abba - Waterloo", 0},
    {u"%artist% - %SONG TITLE%", kFull, u"Abba - Waterloo", 0},
    {u"%5 - %7", kFull, u"Abba - Waterloo", 0},
    {u"%5% - %7%", kFull, nullptr, 0},
    {u"%5 - %7", kTitle, u" - Waterloo", 1},
    {u"%1001. %7", kFull, u"7. Waterloo", 0},
    {u"%9999%Nonsense%", kFull, u"", 2},
    {u"100%%", kFull, u"100%", 0},
    {u"%Artist", kFull, nullptr, 0},
    // Optional blocks and conditionals.
    {u"[%5 - ]%7", kTitle, u"Waterloo", 0},
    {u"[%5 - ]%7", kFull, u"Abba - Waterloo", 0},
    {u"[[%5] %7]", kTitle, u" Waterloo", 0},
    {u"[%5 %7]!", kArtist, u"!", 0},
    {u"[abc", kFull, nullptr, 0},
    {u"%?5<by %5|unknown artist>", kFull, u"by Abba", 0},
    {u"%?5<by %5|unknown artist>", kTitle, u"unknown artist", 0},
    {u"%?Artist%<by %5|->", kFull, u"by Abba", 0},
    {u"%?5<%7 %22|x>", kArtist, u" ", 2},
    {u"%?5<a|b", kFull, nullptr, 0},
    // Functions.
    {u"$if2(%5,Unknown)", kTitle, u"Unknown", 0},
    {u"$IF2(%5,Unknown)", kTitle, u"Unknown", 0},
    {u"$if2(%5,Unknown)", kFull, u"Abba", 0},
    {u"$if(%5,yes,no)", kTitle, u"no", 0},
    {u"$if(%5,yes,no)", kFull, u"yes", 0},
    {u"$num(%1001,2)", kFull, u"07", 0},
    {u"$num(%1001,2)", kTitle, nullptr, 0},
    {u"$num(-7,4)", kFull, u"-007", 0},
    {u"$num(5,-3)", kFull, u"5  ", 0},
    {u"$num(5,0)", kFull, nullptr, 0},
    {u"$num(x,2)", kFull, nullptr, 0},
    {u"$num(1,1000000)", kFull, nullptr, 0},
    {u"$time(%1004)", kFull, u"3:05", 0},
    {u"$time(3723000)", kFull, u"1:02:03", 0},
    {u"$time(59999)", kFull, u"0:59", 0},
    {u"$time(soon)", kFull, u"", 0},
    {u"$mid(Waterloo,3,2)", kFull, u"te", 0},
    {u"$mid(Waterloo,0,2)", kFull, u"", 0},
    {u"$mid(Waterloo,8,5)", kFull, u"o", 0},
    {u"$mid(Waterloo,9,1)", kFull, u"", 0},
    {u"$mid(Waterloo,3,0)", kFull, u"terloo", 0},
    {u"$right(Waterloo,3)", kFull, u"loo", 0},
    {u"$right(Waterloo,30)", kFull, u"Waterloo", 0},
    {u"$left(Waterloo,20)", kFull, u"Waterloo", 0},
    {u"$cut(Waterloo,5)", kFull, u"Water", 0},
    {u"$cut(Waterloo,-1)", kFull, u"", 0},
    {u"$pad(ab,4)|", kFull, u"ab  |", 0},
    {u"$pad(abcdef,4)", kFull, u"abcdef", 0},
    {u"$padcut(abcdef,4)$padcut(ab,4)|", kFull, u"abcdab  |", 0},
    {u"$longest(ab,abc)$longest(abc,ab)$longest(ab,cd)", kFull, u"abcabccd", 0},
    {u"$instr(Waterloo,o,0)", kFull, u"7", 0},
    {u"$instr(Waterloo,o,7)", kFull, u"8", 0},
    {u"$instr(Waterloo,O,8)", kFull, u"0", 0},
    {u"$instr(Waterloo,x,0)", kFull, u"0", 0},
    {u"$instr(Waterloo,,5)$instr(,a,0)", kFull, u"10", 0},
    {u"$rinstr(Waterloo,o,0)", kFull, u"8", 0},
    {u"$rinstr(Waterloo,o,8)", kFull, u"7", 0},
    {u"$rinstr(Waterloo,o,7)", kFull, u"0", 0},
    {u"$rinstr(Waterloo,LOO,0)", kFull, u"6", 0},
    {u"$caps(hELLO wORLD)", kFull, u"Hello World", 0},
    {u"$caps2(hELLO wORLD)", kFull, u"HELLO WORLD", 0},
    {u"$caps(o'NEIL-smith)", kFull, u"O'Neil-Smith", 0},
    {u"$lower(AbBA)$upper(AbBA)", kFull, u"abbaABBA", 0},
    {u"$add(2,3) $sub(2,3) $mul(-4,5) $div(7,2) $div(-7,2) $mod(7,3) $mod(-7,3)", kFull,
     u"5 -1 -20 3 -3 1 -1", 0},
    {u"$add(2147483647,1)", kFull, u"-2147483648", 0},
    {u"$div(-2147483648,-1)", kFull, u"-2147483648", 0},
    {u"$ifge(3,3,yes,no)$ifge(2,3,yes,no)", kFull, u"yesno", 0},
    {u"$len(Waterloo)$len()", kFull, u"80", 0},
    {u"[$trim(  x  )]", kFull, u"x", 0},
    {u"$replace(a-b-c,-,+)", kFull, u"a+b+c", 0},
    {u"$replace(abc,,x)$replace(aBc,b,x)", kFull, u"abcaBc", 0},
    {u"$replace(a\\,b,\\,,;)", kFull, u"a;b", 0},
    // A function's result carries no missing fields of its own into the level around it.
    {u"$if2($if2(%5,%7),none)", kFileName, u"", 0},
    {u"$div(7,0)", kFull, nullptr, 0},
    {u"$mod(7,0)", kFull, nullptr, 0},
    {u"$add(x,1)", kFull, nullptr, 0},
    {u"$foo(1)", kFull, nullptr, 0},
    {u"$if2(a)", kFull, nullptr, 0},
    {u"$if2(a,b,c)", kFull, nullptr, 0},
    {u"$len(a", kFull, nullptr, 0},
    {u"$len", kFull, nullptr, 0},
    // Escapes and stray closing characters.
    {u"a]b)c|d>e", kFull, u"a]b)c|d>e", 0},
    {u"\\%5\\[x\\]\\$", kFull, u"%5[x]$", 0},
    {u"end\\", kFull, u"end", 0},
};

TEST(TitleFormat, TableOfFormats) {
  for (const TitleCase& c : kCases) {
    auto item = ItemWith(c.tags);
    Formatted f = Format(item.get(), c.format);
    SCOPED_TRACE(Narrow(c.format));
    if (!c.expected) {
      EXPECT_EQ(f.hr, E_FAIL);
      EXPECT_EQ(f.text, u"");
      continue;
    }
    ASSERT_EQ(f.hr, S_OK);
    EXPECT_EQ(Narrow(f.text), Narrow(c.expected));
    EXPECT_EQ(f.missing, c.missing);
  }
}

TEST(TitleFormat, ResultsHoldAtMost518Characters) {
  auto item = ItemWith(kFull);
  EXPECT_EQ(Format(item.get(), std::u16string(518, u'x')).text.size(), 518u);
  EXPECT_EQ(Format(item.get(), std::u16string(519, u'x')).hr, E_FAIL);

  item->SetString(TAG_ARTIST, std::u16string(518, u'a').c_str());
  EXPECT_EQ(Format(item.get(), u"%5").text.size(), 518u);
  EXPECT_EQ(Format(item.get(), u"%5!").hr, E_FAIL);
  item->SetString(TAG_ARTIST, std::u16string(519, u'a').c_str());
  EXPECT_EQ(Format(item.get(), u"%5").hr, E_FAIL);
  EXPECT_EQ(Format(item.get(), u"[%5]").hr, E_FAIL);
}

TEST(TitleFormat, FunctionsStayWithinTheLimit) {
  auto item = ItemWith(kFull);
  // Padding stops where the title ends; a width or a replacement past it fails the title.
  Formatted padded = Format(item.get(), u"$pad(x,1000000)");
  ASSERT_EQ(padded.hr, S_OK);
  EXPECT_EQ(padded.text.size(), 518u);
  EXPECT_EQ(Format(item.get(), u"ab$pad(x,1000000)").text.size(), 518u);
  EXPECT_EQ(Format(item.get(), u"$num(1,518)").text.size(), 518u);
  EXPECT_EQ(Format(item.get(), u"a$num(1,518)").hr, E_FAIL);
  EXPECT_EQ(Format(item.get(), u"$num(1,-2147483648)").hr, E_FAIL);
  EXPECT_EQ(Format(item.get(), u"$replace($pad(,300), ,xx)").hr, E_FAIL);
  EXPECT_EQ(Format(item.get(), u"$replace($pad(a,300), ,)").text, u"a");
}

TEST(TitleFormat, DeepNestingIsRefusedNotFollowed) {
  auto item = ItemWith(kFull);
  std::u16string deep = std::u16string(100000, u'[') + std::u16string(100000, u']');
  EXPECT_EQ(Format(item.get(), deep).hr, E_FAIL);
  std::u16string fine = std::u16string(20, u'[') + u"%5" + std::u16string(20, u']');
  EXPECT_EQ(Format(item.get(), fine).text, u"Abba");
}

TEST(TitleFormat, ArgumentChecks) {
  auto item = ItemWith(kFull);
  BSTR title = reinterpret_cast<BSTR>(1);
  LONG missing = 0;
  EXPECT_EQ(item->FormatTitle(MEDIAITEM_TITLE_FORMAT, 0, u"%5", nullptr, &missing), E_POINTER);
  EXPECT_EQ(item->FormatTitle(0, 0, u"%5", &title, &missing), E_FAIL);
  EXPECT_EQ(title, nullptr);
  EXPECT_EQ(item->FormatTitle(MEDIAITEM_TITLE_FORMAT, 0, u"%5", &title, nullptr), E_POINTER);
  EXPECT_EQ(item->FormatTitle(MEDIAITEM_TITLE_FORMAT, 0, u"", &title, &missing), E_FAIL);
  EXPECT_EQ(item->FormatTitle(MEDIAITEM_TITLE_FORMAT, 0, nullptr, &title, &missing), E_FAIL);
}

// Counts the reads the evaluation makes, to see when the cache answers instead.
class CountingItem : public CMediaItem {
 public:
  STDMETHODIMP GetString(DWORD id, BSTR* value) override {
    ++reads;
    return CMediaItem::GetString(id, value);
  }
  int reads = 0;
};

TEST(TitleFormatCache, SameFormatIsAnsweredFromTheCacheUntilTheItemChanges) {
  Ref<CountingItem> item(new CountingItem());
  item->SetString(TAG_ARTIST, u"Abba");
  EXPECT_EQ(Format(item.get(), u"%5 - %7").text, u"Abba - ");
  EXPECT_EQ(item->reads, 1);
  Formatted again = Format(item.get(), u"%5 - %7");
  EXPECT_EQ(again.text, u"Abba - ");
  EXPECT_EQ(again.missing, 1);
  EXPECT_EQ(item->reads, 1);

  Format(item.get(), u"%5!");  // another format is evaluated
  EXPECT_EQ(item->reads, 2);

  item->SetString(TAG_ARTIST, u"Queen");  // any setter invalidates
  EXPECT_EQ(Format(item.get(), u"%5!").text, u"Queen!");
  EXPECT_EQ(item->reads, 3);
  item->RemoveTag(TAG_ARTIST);
  EXPECT_EQ(Format(item.get(), u"%5!").text, u"!");
}

TEST(TitleFormatCache, FailureIsNotCached) {
  Ref<CountingItem> item(new CountingItem());
  item->SetString(TAG_ARTIST, u"Abba");
  EXPECT_EQ(Format(item.get(), u"%5$foo()").hr, E_FAIL);
  EXPECT_EQ(Format(item.get(), u"%5$foo()").hr, E_FAIL);
  EXPECT_EQ(item->reads, 2);
}

TEST(TitleFormatCache, SmallerBufferThanTheCachedResultEvaluatesAgain) {
  Ref<CountingItem> item(new CountingItem());
  item->SetString(TAG_ARTIST, u"Abba");
  TitleCache cache;
  cache.item = item.get();
  WCHAR buffer[16];
  LONG missing = 0;
  ASSERT_EQ(FormatTitleString(&cache, u"%5", buffer, 16, &missing), S_OK);
  EXPECT_EQ(std::u16string(buffer), u"Abba");
  ASSERT_EQ(FormatTitleString(&cache, u"%5", buffer, 16, &missing), S_OK);
  EXPECT_EQ(item->reads, 1);
  EXPECT_EQ(FormatTitleString(&cache, u"%5", buffer, 4, &missing), E_FAIL);  // "Abba" needs 5
  EXPECT_EQ(cache.missing, -1);
  EXPECT_EQ(FormatTitleString(&cache, u"%5", buffer, 0, &missing), E_FAIL);
  TitleCache empty;
  EXPECT_EQ(FormatTitleString(&empty, u"%5", buffer, 16, &missing), E_FAIL);
}

}  // namespace
