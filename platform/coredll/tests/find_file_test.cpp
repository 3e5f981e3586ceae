// FindFirstFileW / FindNextFileW / FindClose: wildcards matched without case on the last
// component, sorted results without "." and "..", storage cards as 0x110 folders, the state
// folder out of sight, and the errors for each way a search can fail.
#include <vector>

#include "files_fixture.h"

namespace zb::files::testing {
namespace {

class FindFileTest : public FilesTest {
 protected:
  void SetUp() override {
    Put(Host("Music/b.MP3"), "bb");
    Put(Host("Music/a.mp3"), "a");
    Put(Host("Music/C.Ogg"), "ccc");
    Put(Host("Music/notes.txt"), "n");
    Put(Host("Music/noext"), "");
    Put(Host("Music/\xC3\x9C" "ber.mp3"), "u");
    fs::create_directories(Host("Music/sub"));
    fs::create_directories(Host("Empty"));
    Put(device_.card() / "Album" / "track.mp3", "t");
  }

  // The names a search yields, in order; or the error of FindFirstFileW.
  struct Found {
    std::vector<std::string> names;
    DWORD error = ERROR_SUCCESS;
  };

  static Found Search(const char16_t* pattern, std::vector<WIN32_FIND_DATAW>* data = nullptr) {
    Found found;
    WIN32_FIND_DATAW fd{};
    PoisonLastError();
    HANDLE h = FindFirstFileW(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE) {
      found.error = GetLastError();
      return found;
    }
    do {
      found.names.push_back(ToUtf8(fd.cFileName));
      if (data) data->push_back(fd);
    } while (FindNextFileW(h, &fd));
    found.error = GetLastError();  // ERROR_NO_MORE_FILES at the end
    FindClose(h);
    return found;
  }
};

using Names = std::vector<std::string>;

struct FindCase {
  const char16_t* pattern;
  Names names;
  DWORD error;  // of FindFirstFileW; ERROR_NO_MORE_FILES when it found something
};

const std::string kUber = "\xC3\x9C" "ber.mp3";

const FindCase kFindCases[] = {
    {u"\\Music\\*", {"a.mp3", "b.MP3", "C.Ogg", "noext", "notes.txt", "sub", kUber}, ERROR_NO_MORE_FILES},
    {u"\\Music\\*.*", {"a.mp3", "b.MP3", "C.Ogg", "noext", "notes.txt", "sub", kUber}, ERROR_NO_MORE_FILES},
    {u"\\music\\*.MP3", {"a.mp3", "b.MP3", kUber}, ERROR_NO_MORE_FILES},
    {u"/MUSIC/*.mp3", {"a.mp3", "b.MP3", kUber}, ERROR_NO_MORE_FILES},
    {u"\\Music\\?.mp3", {"a.mp3", "b.MP3"}, ERROR_NO_MORE_FILES},
    {u"\\Music\\n*", {"noext", "notes.txt"}, ERROR_NO_MORE_FILES},
    {u"\\Music\\*t", {"noext", "notes.txt"}, ERROR_NO_MORE_FILES},
    {u"\\Music\\*o*e*", {"noext", "notes.txt"}, ERROR_NO_MORE_FILES},
    {u"\\Music\\c.???", {"C.Ogg"}, ERROR_NO_MORE_FILES},
    {u"\\Music\\\u00FC*", {kUber}, ERROR_NO_MORE_FILES},
    {u"\\Music\\..\\Music\\*.ogg", {"C.Ogg"}, ERROR_NO_MORE_FILES},
    {u"\\Music\\A.MP3", {"a.mp3"}, ERROR_NO_MORE_FILES},
    {u"\\music\\SUB", {"sub"}, ERROR_NO_MORE_FILES},
    {u"\\Music\\*.wma", {}, ERROR_NO_MORE_FILES},
    {u"\\Empty\\*", {}, ERROR_NO_MORE_FILES},
    {u"\\Music\\none.mp3", {}, ERROR_FILE_NOT_FOUND},
    {u"\\Music\\", {}, ERROR_FILE_NOT_FOUND},
    {u"\\None\\*", {}, ERROR_PATH_NOT_FOUND},
    {u"\\None\\x.mp3", {}, ERROR_PATH_NOT_FOUND},
    {u"\\Music\\notes.txt\\*", {}, ERROR_PATH_NOT_FOUND},
    {u"\\Music\\a|b*", {}, ERROR_INVALID_NAME},
    {u"\\Mu*\\a.mp3", {}, ERROR_INVALID_NAME},
    {u"\\.zonbrel\\*", {}, ERROR_PATH_NOT_FOUND},
    {u"\\*", {"Empty", "Music", "Program Files", "Storage Card"}, ERROR_NO_MORE_FILES},
    {u"\\.*", {}, ERROR_NO_MORE_FILES},
    {u"\\Storage Card\\*", {"Album"}, ERROR_NO_MORE_FILES},
    {u"\\STORAGE CARD\\album\\*.MP3", {"track.mp3"}, ERROR_NO_MORE_FILES},
    {u"\\Program Files\\*", {"Zonbrel"}, ERROR_NO_MORE_FILES},
    {nullptr, {}, ERROR_INVALID_PARAMETER},
};

TEST_F(FindFileTest, PatternsAndWhatTheyFind) {
  for (const FindCase& c : kFindCases) {
    Found found = Search(c.pattern);
    std::string what = c.pattern ? ToUtf8(c.pattern) : "NULL";
    EXPECT_EQ(found.names, c.names) << what;
    EXPECT_EQ(found.error, c.error) << what;
  }
}

TEST_F(FindFileTest, FindDataDescribesEachEntry) {
  std::vector<WIN32_FIND_DATAW> data;
  Search(u"\\Music\\*", &data);
  ASSERT_EQ(data.size(), 7u);
  const WIN32_FIND_DATAW& ogg = data[2];
  EXPECT_EQ(ToUtf8(ogg.cFileName), "C.Ogg");
  EXPECT_EQ(ogg.dwFileAttributes, DWORD(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(ogg.nFileSizeLow, 3u);
  EXPECT_EQ(ogg.nFileSizeHigh, 0u);
  EXPECT_NE(ogg.dwOID, 0u);
  EXPECT_NE(data[0].dwOID, ogg.dwOID);
  EXPECT_EQ(data[5].dwFileAttributes, DWORD(FILE_ATTRIBUTE_DIRECTORY));

  Handle h(Open(u"\\Music\\C.Ogg", GENERIC_READ));
  FILETIME created{}, accessed{}, written{};
  ASSERT_TRUE(GetFileTime(h.get(), &created, &accessed, &written));
  EXPECT_EQ(CompareFileTime(&ogg.ftCreationTime, &created), 0);
  EXPECT_EQ(CompareFileTime(&ogg.ftLastWriteTime, &written), 0);
}

TEST_F(FindFileTest, AttributesSetOnTheDeviceShowInTheSearch) {
  ASSERT_TRUE(SetFileAttributesW(u"\\Music\\a.mp3", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
  std::vector<WIN32_FIND_DATAW> data;
  Search(u"\\Music\\a.mp3", &data);
  ASSERT_EQ(data.size(), 1u);
  EXPECT_EQ(data[0].dwFileAttributes, DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
}

TEST_F(FindFileTest, StorageCardsAreTemporaryFolders) {
  for (const char16_t* pattern : {u"\\*", u"\\Storage*", u"\\storage card"}) {
    std::vector<WIN32_FIND_DATAW> data;
    Search(pattern, &data);
    auto card = std::find_if(data.begin(), data.end(), [](const auto& d) { return ToUtf8(d.cFileName) == "Storage Card"; });
    ASSERT_NE(card, data.end()) << ToUtf8(pattern);
    EXPECT_EQ(card->dwFileAttributes, DWORD(0x110)) << ToUtf8(pattern);
    auto music = std::find_if(data.begin(), data.end(), [](const auto& d) { return ToUtf8(d.cFileName) == "Music"; });
    if (music != data.end()) {
      EXPECT_EQ(music->dwFileAttributes, DWORD(FILE_ATTRIBUTE_DIRECTORY));
    }
  }
}

TEST_F(FindFileTest, SeveralCardsAndNone) {
  fs::path second = device_.root().string() + "-cf";
  fs::create_directories(second);
  device_.WriteProfile("[storage cards]\nSD Card = " + device_.card().string() + "\nCF = " + second.string() + "\n");
  EXPECT_EQ(Search(u"\\*").names, (Names{"CF", "Empty", "Music", "Program Files", "SD Card"}));
  fs::remove_all(second);  // taken out
  EXPECT_EQ(Search(u"\\*").names, (Names{"Empty", "Music", "Program Files", "SD Card"}));
  device_.WriteProfile("[storage cards]\n");
  EXPECT_EQ(Search(u"\\*").names, (Names{"Empty", "Music", "Program Files"}));
}

TEST_F(FindFileTest, MountShadowsAHostFolderOfTheSameName) {
  fs::create_directories(Host("storage card/hidden below the card"));
  std::vector<WIN32_FIND_DATAW> data;
  EXPECT_EQ(Search(u"\\*", &data).names, (Names{"Empty", "Music", "Program Files", "Storage Card"}));
  EXPECT_EQ(Search(u"\\Storage Card\\*").names, Names{"Album"});
}

TEST_F(FindFileTest, EndOfSearchAndBadHandles) {
  WIN32_FIND_DATAW fd{};
  HANDLE h = FindFirstFileW(u"\\Music\\a.mp3", &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  for (int i = 0; i < 2; ++i) {
    PoisonLastError();
    EXPECT_FALSE(FindNextFileW(h, &fd));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  }
  EXPECT_FALSE(FindNextFileW(h, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(FindClose(h));
  for (HANDLE bad : {h, INVALID_HANDLE_VALUE, HANDLE(nullptr)}) {
    PoisonLastError();
    EXPECT_FALSE(FindClose(bad));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FindNextFileW(bad, &fd));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }
  EXPECT_EQ(FindFirstFileW(u"\\Music\\*", nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(FindFileTest, FindCloseRefusesAFileHandle) {
  Handle file(Open(u"\\Music\\a.mp3", GENERIC_READ));
  EXPECT_FALSE(FindClose(file.get()));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  char c;
  DWORD done = 0;
  EXPECT_TRUE(ReadFile(file.get(), &c, 1, &done, nullptr));  // still open
  EXPECT_EQ(done, 1u);
}

TEST_F(FindFileTest, SearchIsASnapshot) {
  WIN32_FIND_DATAW fd{};
  Handle h(FindFirstFileW(u"\\Music\\*.mp3", &fd));
  ASSERT_TRUE(h.valid());
  Put(Host("Music/added.mp3"), "late");
  std::vector<std::string> rest;
  while (FindNextFileW(h.get(), &fd)) rest.push_back(ToUtf8(fd.cFileName));
  EXPECT_EQ(rest, (Names{"b.MP3", kUber}));
}

TEST_F(FindFileTest, StateFolderStaysHiddenBehindACardOnTheDeviceFolder) {
  device_.WriteProfile("[storage cards]\nLoop = " + device_.root().string() + "\n");
  Names names = Search(u"\\Loop\\*").names;
  EXPECT_EQ(std::count(names.begin(), names.end(), ".zonbrel"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "Music"), 1);
}

}  // namespace
}  // namespace zb::files::testing
