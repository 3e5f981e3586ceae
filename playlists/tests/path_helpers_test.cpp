// Path helpers: combining, canonicalising, roots and network forms, relative paths, fitting a
// path into a width, and the 260-character buffers they all share.
#include <gtest/gtest.h>

#include <string>

#include "path_helpers.h"
#include "testing/test_device.h"

namespace {

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

std::u16string Repeat(const std::u16string& part, size_t times) {
  std::u16string out;
  for (size_t i = 0; i < times; ++i) out += part;
  return out;
}

// A MAX_PATH buffer holding `text`, as callers hand paths in.
struct PathBuffer {
  explicit PathBuffer(const std::u16string& text = u"") { lstrcpynW(chars, text.c_str(), MAX_PATH); }
  std::u16string str() const { return chars; }
  WCHAR chars[MAX_PATH];
};

struct CombineCase {
  const char16_t* folder;
  const char16_t* relative;
  const char16_t* expected;  // null: the result does not fit
};

const CombineCase kCombineCases[] = {
    {u"\\A\\B", u"..\\x.mp3", u"\\A\\x.mp3"},
    {u"\\A\\B", u".\\x.mp3", u"\\A\\B\\x.mp3"},
    {u"\\A\\B", u"\\C\\y", u"\\C\\y"},
    {u"\\A\\B\\", u"x.mp3", u"\\A\\B\\x.mp3"},
    {u"\\A\\B", u"..\\..\\..\\x.mp3", u"\\x.mp3"},
    {u"X:\\Music\\Rock", u"..\\..\\Pop\\a.mp3", u"X:\\Pop\\a.mp3"},
    {u"X:\\Music", u"\\Other\\a.mp3", u"X:\\Other\\a.mp3"},
    {u"X:", u"a.mp3", u"X:\\a.mp3"},
    {u"\\\\server\\share\\dir", u"\\x.mp3", u"\\\\server\\share\\x.mp3"},
    {u"\\\\server\\share\\dir", u"..\\..\\..\\x.mp3", u"\\\\server\\share\\x.mp3"},
    {u"\\A", u"\\\\srv\\s\\x.mp3", u"\\\\srv\\s\\x.mp3"},
    {u"\\A", u"Y:\\x.mp3", u"Y:\\x.mp3"},
    {nullptr, u"a\\.\\b", u"a\\b"},
    {u"", u"\\a", u"\\a"},
    {u"\\A\\B", nullptr, u"\\A\\B"},
    {u"\\A\\..", u"", u"\\"},
    {u"\\", u"..", u"\\"},
    {u"ab", u"cd", u"ab\\cd"},
};

TEST(PathCombine, TableOfFoldersAndRelativeParts) {
  for (const CombineCase& c : kCombineCases) {
    SCOPED_TRACE(Narrow(c.folder ? c.folder : u"(null)") + " + " + Narrow(c.relative ? c.relative : u"(null)"));
    PathBuffer out;
    LPWSTR result = CombinePath(out.chars, c.folder, c.relative);
    if (!c.expected) {
      EXPECT_EQ(result, nullptr);
      continue;
    }
    ASSERT_EQ(result, out.chars);
    EXPECT_EQ(out.str(), c.expected);
  }
}

TEST(PathCombine, JoinsOfTwoHundredSixtyCharactersDoNotFit) {
  const std::u16string folder = u"\\" + Repeat(u"f", 199);  // 200 characters
  PathBuffer out;
  // 200 + "\" + 58 = 259 characters: the longest join a buffer holds.
  ASSERT_NE(CombinePath(out.chars, folder.c_str(), Repeat(u"r", 58).c_str()), nullptr);
  EXPECT_EQ(out.str().size(), 259u);
  PathBuffer untouched(u"keep");
  EXPECT_EQ(CombinePath(untouched.chars, folder.c_str(), Repeat(u"r", 59).c_str()), nullptr);
  // Even when ".." would shorten it again, the join itself must fit.
  EXPECT_EQ(CombinePath(out.chars, folder.c_str(), (Repeat(u"r", 56) + u"\\..").c_str()), nullptr);
}

TEST(PathCombine, NullBuffersAndNullInputs) {
  EXPECT_EQ(CombinePath(nullptr, u"\\A", u"b"), nullptr);
  PathBuffer out(u"untouched");
  EXPECT_EQ(CombinePath(out.chars, nullptr, nullptr), out.chars);
  EXPECT_EQ(out.str(), u"untouched");
}

struct CanonicalCase {
  const char16_t* path;
  const char16_t* expected;
};

const CanonicalCase kCanonicalCases[] = {
    {u"\\A\\.\\B\\..\\C", u"\\A\\C"},
    {u"\\..", u"\\"},
    {u"\\A\\..\\..\\B", u"\\B"},
    {u"", u"\\"},
    {u".", u"\\"},
    {u"X:", u"X:\\"},
    {u"X:\\..", u"X:\\"},
    {u"X:\\A\\..\\..", u"X:\\"},
    {u"X:\\A\\B\\..", u"X:\\A"},
    {u"\\A\\B\\", u"\\A\\B\\"},
    {u"\\A\\B\\..\\", u"\\A\\"},
    {u"\\\\server\\share\\a\\..\\..", u"\\\\server\\share"},
    {u"\\\\server\\share\\.\\x.mp3", u"\\\\server\\share\\x.mp3"},
    {u"\\\\server", u"\\\\server"},
    {u"a\\..\\..\\b", u"b"},
    {u"\\A\\...\\B", u"\\A\\...\\B"},
    {u"\\A\\..B\\.C", u"\\A\\..B\\.C"},
};

TEST(PathCanonicalize, TableOfDotsAndRoots) {
  for (const CanonicalCase& c : kCanonicalCases) {
    SCOPED_TRACE(Narrow(c.path));
    PathBuffer out;
    ASSERT_TRUE(CanonicalizePath(out.chars, c.path));
    EXPECT_EQ(out.str(), c.expected);
  }
}

TEST(PathCanonicalize, WorksInPlace) {
  PathBuffer path(u"\\A\\B\\..\\C");
  ASSERT_TRUE(CanonicalizePath(path.chars, path.chars));
  EXPECT_EQ(path.str(), u"\\A\\C");
}

TEST(PathCanonicalize, RefusesNullArgumentsAndOverlongPaths) {
  PathBuffer out(u"before");
  SetLastError(0);
  EXPECT_FALSE(CanonicalizePath(out.chars, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(CanonicalizePath(nullptr, u"\\a"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  const std::u16string longest = u"\\" + Repeat(u"a", 258);
  ASSERT_TRUE(CanonicalizePath(out.chars, longest.c_str()));
  EXPECT_EQ(out.str(), longest);
  // A path a MAX_PATH buffer cannot hold is refused instead of being written past the buffer.
  const std::u16string overlong = longest + u"b";
  EXPECT_FALSE(CanonicalizePath(out.chars, overlong.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
}

struct KindCase {
  const char16_t* path;
  bool root, relative, network, server;
};

const KindCase kKindCases[] = {
    {u"\\", true, false, false, false},
    {u"X:\\", true, false, false, false},
    {u"X:", false, false, false, false},
    {u"X:\\A", false, false, false, false},
    {u"\\\\", true, false, true, false},
    {u"\\\\server", true, false, true, false},
    {u"\\\\server\\share", true, false, true, true},
    {u"\\\\server\\share\\dir", false, false, true, false},
    {u"\\A", false, false, false, false},
    {u"a\\b", false, true, false, false},
    {u"ab", false, true, false, false},
    {u"", false, true, false, false},
};

TEST(PathKinds, TableOfRootsRelativeAndNetworkForms) {
  for (const KindCase& c : kKindCases) {
    SCOPED_TRACE(Narrow(c.path));
    EXPECT_EQ(static_cast<bool>(IsRootPath(c.path)), c.root);
    EXPECT_EQ(static_cast<bool>(IsRelativePath(c.path)), c.relative);
    EXPECT_EQ(static_cast<bool>(IsNetworkPath(c.path)), c.network);
    EXPECT_EQ(static_cast<bool>(IsNetworkServer(c.path)), c.server);
  }
  EXPECT_TRUE(IsRelativePath(nullptr));
  EXPECT_FALSE(IsRootPath(nullptr));
  EXPECT_FALSE(IsNetworkPath(nullptr));
}

struct EditCase {
  const char16_t* path;
  const char16_t* expected;
  bool result;
};

const EditCase kStripToRootCases[] = {
    {u"\\A\\B", u"\\", true},
    {u"\\A", u"\\", true},
    {u"X:\\A\\B", u"X:\\", true},
    {u"X:\\", u"X:\\", true},
    {u"\\\\srv\\share\\a\\b", u"\\\\srv\\share", true},
    {u"\\\\srv\\share", u"\\\\srv\\share", true},
    {u"", u"", true},
    {u"a\\b", u"", false},
    {u"X:", u"", false},
};

TEST(PathStripToRoot, TableOfPaths) {
  for (const EditCase& c : kStripToRootCases) {
    SCOPED_TRACE(Narrow(c.path));
    PathBuffer path(c.path);
    EXPECT_EQ(static_cast<bool>(StripToRoot(path.chars)), c.result);
    EXPECT_EQ(path.str(), c.expected);
  }
}

TEST(PathBackslash, AddBackslashStopsAtTheBufferLimit) {
  PathBuffer path(u"\\A");
  EXPECT_EQ(AddBackslash(path.chars), path.chars + 3);
  EXPECT_EQ(path.str(), u"\\A\\");
  EXPECT_EQ(AddBackslash(path.chars), path.chars + 3);  // already there
  EXPECT_EQ(path.str(), u"\\A\\");
  PathBuffer empty;
  EXPECT_EQ(AddBackslash(empty.chars), empty.chars + 1);
  EXPECT_EQ(empty.str(), u"\\");
  EXPECT_EQ(AddBackslash(nullptr), nullptr);

  PathBuffer fits(Repeat(u"a", 258));
  EXPECT_EQ(AddBackslash(fits.chars), fits.chars + 259);
  EXPECT_EQ(fits.str().size(), 259u);
  // 259 characters fill the buffer: one more would push the terminator past its end.
  PathBuffer full(Repeat(u"a", 259));
  EXPECT_EQ(AddBackslash(full.chars), nullptr);
  EXPECT_EQ(full.str(), Repeat(u"a", 259));
  PathBuffer fullWithSlash(Repeat(u"a", 258) + u"\\");
  EXPECT_EQ(AddBackslash(fullWithSlash.chars), fullWithSlash.chars + 259);
  const std::u16string overlong = Repeat(u"a", 260);
  std::u16string copy = overlong;
  EXPECT_EQ(AddBackslash(copy.data()), nullptr);
  EXPECT_EQ(copy, overlong);
}

TEST(PathBackslash, RemoveBackslashKeepsRoots) {
  const EditCase cases[] = {
      {u"\\A\\", u"\\A", true}, {u"\\A", u"\\A", true},   {u"\\", u"\\", true},
      {u"X:\\", u"X:\\", true}, {u"\\\\srv\\", u"\\\\srv\\", true}, {u"a\\", u"a", true},
  };
  for (const EditCase& c : cases) {
    SCOPED_TRACE(Narrow(c.path));
    PathBuffer path(c.path);
    LPWSTR last = RemoveBackslash(path.chars);
    EXPECT_EQ(path.str(), c.expected);
    EXPECT_EQ(last, path.chars + path.str().size() - 1);
  }
  PathBuffer empty;
  EXPECT_EQ(RemoveBackslash(empty.chars), empty.chars);
  EXPECT_EQ(RemoveBackslash(nullptr), nullptr);
}

TEST(PathComponents, RemoveFileSpecAndStripQuotes) {
  const EditCase specs[] = {{u"\\A\\b.mp3", u"\\A", true}, {u"b.mp3", u"", true}, {u"\\b", u"", true}};
  for (const EditCase& c : specs) {
    PathBuffer path(c.path);
    EXPECT_TRUE(RemoveFileSpec(path.chars));
    EXPECT_EQ(path.str(), c.expected);
  }
  const EditCase quotes[] = {
      {u"\"\\My Music\" /more", u"\\My Music", true},
      {u"\"open", u"open", true},
      {u"\"\"", u"", true},
      {u"plain \"x\"", u"plain \"x\"", true},
  };
  for (const EditCase& c : quotes) {
    SCOPED_TRACE(Narrow(c.path));
    PathBuffer path(c.path);
    StripQuotes(path.chars);
    EXPECT_EQ(path.str(), c.expected);
  }
  StripQuotes(nullptr);
}

TEST(PathComponents, NextComponentAndFileName) {
  const struct {
    const char16_t* path;
    const char16_t* next;
    const char16_t* name;
  } cases[] = {
      {u"\\A\\b.mp3", u"A\\b.mp3", u"b.mp3"},
      {u"A\\B", u"B", u"B"},
      {u"\\\\srv\\x", u"srv\\x", u"x"},
      {u"X:b.mp3", u"", u"b.mp3"},
      {u"\\A\\B\\", u"A\\B\\", u"B\\"},
      {u"name", u"", u"name"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.path));
    EXPECT_EQ(std::u16string(FindNextComponent(c.path)), c.next);
    EXPECT_EQ(std::u16string(FindPathFileName(c.path)), c.name);
  }
  EXPECT_EQ(FindNextComponent(u""), nullptr);
  EXPECT_EQ(FindNextComponent(nullptr), nullptr);
}

struct PrefixCase {
  const char16_t* a;
  const char16_t* b;
  const char16_t* common;
};

const PrefixCase kPrefixCases[] = {
    {u"\\A\\B\\x", u"\\A\\B\\y", u"\\A\\B"},
    {u"\\A\\B", u"\\A\\BC", u"\\A"},
    {u"\\A\\B", u"\\A\\B\\C", u"\\A\\B"},
    {u"c:\\Music\\x", u"C:\\MUSIC\\y", u"c:\\Music"},
    {u"C:\\a", u"C:\\b", u"C:\\"},
    {u"C:\\a", u"D:\\a", u""},
    {u"\\\\srv\\share\\x", u"\\\\srv\\share\\y", u"\\\\srv\\share"},
    {u"\\\\srv\\a", u"\\\\srv\\b", u"\\\\srv"},
    {u"\\\\a\\x", u"\\\\b\\x", u""},
    {u"\\\\srv\\a", u"\\srv\\a", u""},
    {u"\\A\\x", u"\\B\\x", u"\\"},
    {u"a\\b", u"c\\d", u""},
};

TEST(PathCommonPrefix, TableOfPairs) {
  for (const PrefixCase& c : kPrefixCases) {
    SCOPED_TRACE(Narrow(c.a) + " ~ " + Narrow(c.b));
    PathBuffer out(u"junk");
    EXPECT_EQ(CommonPrefixLength(c.a, c.b, out.chars), static_cast<int>(std::u16string(c.common).size()));
    EXPECT_EQ(out.str(), c.common);
    EXPECT_EQ(CommonPrefixLength(c.b, c.a, nullptr), static_cast<int>(std::u16string(c.common).size()));
  }
}

struct RelativeCase {
  const char16_t* from;
  DWORD attributes;
  const char16_t* to;
  const char16_t* expected;  // null: no relative path
};

const RelativeCase kRelativeCases[] = {
    {u"\\A\\B\\list.asx", 0, u"\\A\\C\\x.mp3", u"..\\C\\x.mp3"},
    {u"\\A\\B\\list.asx", 0, u"\\A\\B\\x.mp3", u".\\x.mp3"},
    {u"\\A\\B\\C\\list.asx", 0, u"\\A\\x.mp3", u"..\\..\\x.mp3"},
    {u"\\A\\B", FILE_ATTRIBUTE_DIRECTORY, u"\\A\\C\\x.mp3", u"..\\C\\x.mp3"},
    {u"\\A\\list.m3u", 0, u"\\B\\x.mp3", u"..\\B\\x.mp3"},
    {u"X:\\M\\list.m3u", 0, u"x:\\x.mp3", u"..\\x.mp3"},
    {u"\\\\srv\\share\\l.m3u", 0, u"\\\\srv\\share\\d\\x.mp3", u".\\d\\x.mp3"},
    {u"X:\\l.m3u", 0, u"Y:\\x.mp3", nullptr},
    {u"\\\\one\\s\\l.m3u", 0, u"\\\\two\\s\\x.mp3", nullptr},
};

TEST(PathRelative, TableOfFromAndTo) {
  for (const RelativeCase& c : kRelativeCases) {
    SCOPED_TRACE(Narrow(c.from) + " -> " + Narrow(c.to));
    PathBuffer out(u"junk");
    EXPECT_EQ(static_cast<bool>(RelativePathTo(out.chars, c.from, c.attributes, c.to)), c.expected != nullptr);
    EXPECT_EQ(out.str(), c.expected ? c.expected : u"");
  }
}

TEST(PathRelative, ResultsOfTwoHundredSixtyCharactersFail) {
  // 90 folders deep: 90 ".." make 269 characters before the file name.
  const std::u16string deep = Repeat(u"\\a", 90) + u"\\list.m3u";
  PathBuffer out(u"junk");
  EXPECT_FALSE(RelativePathTo(out.chars, deep.c_str(), 0, u"\\b\\x.mp3"));
  EXPECT_EQ(out.str(), u"");
  // 80 folders: 80 ".." are 239 characters, and "\b\x.mp3" ends at 247.
  const std::u16string fits = Repeat(u"\\a", 80) + u"\\list.m3u";
  ASSERT_TRUE(RelativePathTo(out.chars, fits.c_str(), 0, u"\\b\\x.mp3"));
  EXPECT_EQ(out.str(), Repeat(u"..\\", 80) + u"b\\x.mp3");
}

// One unit of width per UTF-16 unit: widths in the table read as character counts.
int UnitWidth(LPCWSTR, int length) { return length; }

struct CompactCase {
  const char16_t* path;
  UINT width;
  const char16_t* expected;
  bool fits;
};

const CompactCase kCompactCases[] = {
    {u"\\A\\B\\file.mp3", 13, u"\\A\\B\\file.mp3", true},
    {u"\\Music\\Rock\\song.mp3", 16, u"\\Mus...\\song.mp3", true},
    {u"\\Music\\Rock\\song.mp3", 12, u"...\\song.mp3", true},
    {u"\\Music\\Rock\\song.mp3", 11, u"...\\song.mp3", false},
    {u"X:\\Music\\song.mp3", 15, u"X:\\...\\song.mp3", true},
    {u"\\\\srv\\share\\song.mp3", 15, u"\\\\s...\\song.mp3", true},
    {u"songtitle.mp3", 8, u"songt...", true},
    {u"abcdef", 3, u"...", true},
    {u"ab", 1, u"...", false},
    {u"\\a", 1, u"...", false},
    {u"X:", 2, u"X:", true},
    {u"\U0001D11E\U0001D11E\U0001D11E\U0001D11E", 6, u"\U0001D11E...", true},  // never half a surrogate pair
};

TEST(PathCompact, TableOfWidths) {
  for (const CompactCase& c : kCompactCases) {
    SCOPED_TRACE(Narrow(c.path) + " in " + std::to_string(c.width));
    PathBuffer path(c.path);
    EXPECT_EQ(static_cast<bool>(CompactPathToMeasure(path.chars, c.width, UnitWidth)), c.fits);
    EXPECT_EQ(path.str(), c.expected);
  }
}

TEST(PathCompact, LongFileNamesStayInsideTheBuffer) {
  // "..." and a 257-character name make 260: cut to what the buffer holds, and reported as not fitting.
  PathBuffer path(u"\\d" + std::u16string(u"\\") + Repeat(u"x", 256));
  ASSERT_EQ(path.str().size(), 259u);
  EXPECT_FALSE(CompactPathToMeasure(path.chars, 10, UnitWidth));
  EXPECT_EQ(path.str(), (u"...\\" + Repeat(u"x", 256)).substr(0, 259));
}

TEST(PathOnDevice, DirectoriesAndDisplayNames) {
  zb::testing::TestDevice device;
  ASSERT_TRUE(CreateDirectoryW(u"\\Music", nullptr));
  HANDLE file = CreateFileW(u"\\Music\\a.mp3", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  EXPECT_TRUE(IsDirectory(u"\\Music"));
  EXPECT_TRUE(IsDirectory(u"\\music"));
  EXPECT_FALSE(IsDirectory(u"\\Music\\a.mp3"));
  EXPECT_FALSE(IsDirectory(u"\\Missing"));
  EXPECT_FALSE(IsDirectory(nullptr));
  EXPECT_EQ(std::u16string(GetDisplayFileName(u"\\Music\\a.mp3")), u"a.mp3");
  EXPECT_EQ(std::u16string(GetDisplayFileName(u"\\Music\\gone.mp3")), u"\\Music\\gone.mp3");
  EXPECT_EQ(std::u16string(GetDisplayFileName(u"http://host/a.mp3")), u"http://host/a.mp3");
}

}  // namespace

namespace {

LONG ScreenWidth(const std::u16string& text) {
  HDC screen = GetDC(nullptr);
  SIZE size = {0, 0};
  GetTextExtentExPointW(screen, text.c_str(), static_cast<int>(text.size()), 0, nullptr, nullptr, &size);
  ReleaseDC(nullptr, screen);
  return size.cx;
}

TEST(PathCompact, MeasuresInTheScreenFontWhenGivenNoDeviceContext) {
  zb::testing::TestDevice device;
  const std::u16string full = u"\\Storage Card\\Music\\Some Artist\\A long song title.mp3";
  const std::u16string shortened = u"\\Storage Card\\Mu...\\A long song title.mp3";
  ASSERT_GT(ScreenWidth(full), ScreenWidth(shortened));

  PathBuffer path(full);
  EXPECT_TRUE(CompactPathToWidth(nullptr, path.chars, static_cast<UINT>(ScreenWidth(full))));
  EXPECT_EQ(path.str(), full);
  EXPECT_TRUE(CompactPathToWidth(nullptr, path.chars, static_cast<UINT>(ScreenWidth(shortened))));
  EXPECT_EQ(path.str(), shortened);

  const std::u16string least = u"...\\A long song title.mp3";
  PathBuffer narrow(full);
  EXPECT_FALSE(CompactPathToWidth(nullptr, narrow.chars, static_cast<UINT>(ScreenWidth(least) - 1)));
  EXPECT_EQ(narrow.str(), least);
}

}  // namespace
