// CreateFileW: every disposition on missing and existing files, the errors it reports, the
// attributes a new file takes, and share modes between the process's open handles.
#include "files_fixture.h"

namespace zb::files::testing {
namespace {

enum class State { Missing, Existing, Folder, ReadOnly, NoParent };

struct CreateCase {
  const char* what;
  State state;
  DWORD access;
  DWORD disposition;
  DWORD error;          // GetLastError() after the call
  bool opens;
  const char* content;  // the file afterwards; nullptr: must not exist
};

constexpr DWORD R = GENERIC_READ, W = GENERIC_WRITE, RW = GENERIC_READ | GENERIC_WRITE;

const CreateCase kCreateCases[] = {
    {"CREATE_NEW makes a missing file", State::Missing, RW, CREATE_NEW, ERROR_SUCCESS, true, ""},
    {"CREATE_NEW refuses an existing file", State::Existing, RW, CREATE_NEW, ERROR_FILE_EXISTS, false, "old"},
    {"CREATE_ALWAYS makes a missing file", State::Missing, W, CREATE_ALWAYS, ERROR_SUCCESS, true, ""},
    {"CREATE_ALWAYS empties an existing file", State::Existing, W, CREATE_ALWAYS, ERROR_ALREADY_EXISTS, true, ""},
    {"OPEN_EXISTING opens", State::Existing, R, OPEN_EXISTING, ERROR_SUCCESS, true, "old"},
    {"OPEN_EXISTING of a missing file", State::Missing, R, OPEN_EXISTING, ERROR_FILE_NOT_FOUND, false, nullptr},
    {"OPEN_ALWAYS keeps an existing file", State::Existing, RW, OPEN_ALWAYS, ERROR_ALREADY_EXISTS, true, "old"},
    {"OPEN_ALWAYS makes a missing file", State::Missing, RW, OPEN_ALWAYS, ERROR_SUCCESS, true, ""},
    {"TRUNCATE_EXISTING empties", State::Existing, W, TRUNCATE_EXISTING, ERROR_SUCCESS, true, ""},
    {"TRUNCATE_EXISTING of a missing file", State::Missing, W, TRUNCATE_EXISTING, ERROR_FILE_NOT_FOUND, false, nullptr},
    {"TRUNCATE_EXISTING needs write access", State::Existing, R, TRUNCATE_EXISTING, ERROR_INVALID_PARAMETER, false, "old"},
    {"a folder cannot be opened", State::Folder, R, OPEN_EXISTING, ERROR_ACCESS_DENIED, false, nullptr},
    {"a folder cannot be replaced", State::Folder, W, CREATE_ALWAYS, ERROR_ACCESS_DENIED, false, nullptr},
    {"a folder is not a new file", State::Folder, W, OPEN_ALWAYS, ERROR_ACCESS_DENIED, false, nullptr},
    {"a missing folder on the way", State::NoParent, W, CREATE_ALWAYS, ERROR_PATH_NOT_FOUND, false, nullptr},
    {"a read-only file opens for reading", State::ReadOnly, R, OPEN_EXISTING, ERROR_SUCCESS, true, "old"},
    {"a read-only file refuses writing", State::ReadOnly, W, OPEN_EXISTING, ERROR_ACCESS_DENIED, false, "old"},
    {"a read-only file is not replaced", State::ReadOnly, W, CREATE_ALWAYS, ERROR_ACCESS_DENIED, false, "old"},
    {"a read-only file is not emptied", State::ReadOnly, W, TRUNCATE_EXISTING, ERROR_ACCESS_DENIED, false, "old"},
    {"disposition 0", State::Existing, R, 0, ERROR_INVALID_PARAMETER, false, "old"},
    {"disposition 6", State::Existing, R, 6, ERROR_INVALID_PARAMETER, false, "old"},
};

class CreateFileTest : public FilesTest {};

TEST_F(CreateFileTest, DispositionsOnMissingAndExistingFiles) {
  for (const CreateCase& c : kCreateCases) {
    fs::remove_all(Host("t"));
    fs::create_directories(Host("t"));
    fs::path target = c.state == State::NoParent ? Host("t/none/file.txt") : Host("t/file.txt");
    if (c.state == State::Existing || c.state == State::ReadOnly) Put(target, "old");
    if (c.state == State::ReadOnly) MakeReadOnly(target);
    if (c.state == State::Folder) fs::create_directories(target);
    const char16_t* device = c.state == State::NoParent ? u"\\t\\none\\file.txt" : u"\\T\\FILE.TXT";

    PoisonLastError();
    Handle h(Open(device, c.access, 0, c.disposition));
    EXPECT_EQ(GetLastError(), c.error) << c.what;
    EXPECT_EQ(h.valid(), c.opens) << c.what;
    h.Close();
    if (c.state == State::Folder) {
      EXPECT_TRUE(fs::is_directory(target)) << c.what;
    } else if (c.content) {
      EXPECT_EQ(Get(target), c.content) << c.what;
    } else {
      EXPECT_FALSE(fs::exists(target)) << c.what;
    }
  }
}

const Refusal kBadNames[] = {
    {"no name", nullptr, ERROR_INVALID_PARAMETER},
    {"an empty name", u"", ERROR_PATH_NOT_FOUND},
    {"a star", u"\\a*b.txt", ERROR_INVALID_NAME},
    {"a question mark", u"\\what?.txt", ERROR_INVALID_NAME},
    {"a colon", u"\\a:b", ERROR_INVALID_NAME},
    {"angle brackets", u"\\a<b>", ERROR_INVALID_NAME},
    {"a bar", u"\\pipe|d", ERROR_INVALID_NAME},
    {"a quote", u"\\quote\".txt", ERROR_INVALID_NAME},
    {"a bad folder name", u"\\bad*folder\\x.txt", ERROR_INVALID_NAME},
    {"a control character", u"\\tab\t.txt", ERROR_INVALID_NAME},
    {"the root", u"\\", ERROR_ACCESS_DENIED},
    {"a storage card", u"\\Storage Card", ERROR_ACCESS_DENIED},
    {"the state folder", u"\\.zonbrel", ERROR_ACCESS_DENIED},
    {"in the state folder", u"\\.zonbrel\\profile.ini", ERROR_PATH_NOT_FOUND},
    {"in the state folder, other case", u"\\.ZONBREL\\debug.log", ERROR_PATH_NOT_FOUND},
};

TEST_F(CreateFileTest, BadNamesAndPlacesAreRefused) {
  ExpectRefusals(kBadNames, [](const char16_t* path) { return Handle(Open(path, GENERIC_WRITE, 0, OPEN_ALWAYS)).valid(); });
  EXPECT_FALSE(fs::exists(device::StateFolder() / "debug.log"));  // nothing was made in the state folder
}

TEST_F(CreateFileTest, FlagsForCachingAreAccepted) {
  for (DWORD flag : {DWORD(FILE_FLAG_WRITE_THROUGH), DWORD(FILE_FLAG_RANDOM_ACCESS), DWORD(FILE_FLAG_SEQUENTIAL_SCAN)}) {
    Handle h(Open(u"\\flags.bin", GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | flag));
    ASSERT_TRUE(h.valid()) << flag;
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(h.get(), "abc", 3, &written, nullptr));
    EXPECT_EQ(written, 3u);
  }
  EXPECT_EQ(Get(Host("flags.bin")), "abc");
}

TEST_F(CreateFileTest, NewFileTakesTheAttributesItWasCreatedWith) {
  Handle h(Open(u"\\ro.txt", GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(h.valid());
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(h.get(), "data", 4, &written, nullptr));  // the creating handle may still write
  h.Close();
  EXPECT_EQ(GetFileAttributesW(u"\\ro.txt"), DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  EXPECT_FALSE(Handle(Open(u"\\ro.txt", GENERIC_WRITE)).valid());
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Get(Host("ro.txt")), "data");
}

TEST_F(CreateFileTest, ReplacedFileDropsTheAttributesOfItsNamesake) {
  Put(Host("old.txt"), "x");
  ASSERT_TRUE(SetFileAttributesW(u"\\old.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_TRUE(DeleteFileW(u"\\old.txt"));
  Handle(Open(u"\\old.txt", GENERIC_WRITE, 0, CREATE_NEW));
  EXPECT_EQ(GetFileAttributesW(u"\\old.txt"), DWORD(FILE_ATTRIBUTE_NORMAL));
  Handle(Open(u"\\old.txt", GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(GetFileAttributesW(u"\\old.txt"), DWORD(FILE_ATTRIBUTE_ARCHIVE));
}

TEST_F(CreateFileTest, FilesOnMountsAndInNonAsciiFolders) {
  Handle card(Open(u"\\STORAGE CARD\\song.mp3", GENERIC_WRITE, 0, CREATE_NEW));
  ASSERT_TRUE(card.valid());
  EXPECT_TRUE(fs::exists(device_.card() / "song.mp3"));
  fs::create_directories(Host("M\xC3\xBCsik"));
  Handle music(Open(u"\\m\u00DCSIK\\\u00C9t\u00E9.mp3", GENERIC_WRITE, 0, CREATE_NEW));
  ASSERT_TRUE(music.valid());
  EXPECT_TRUE(fs::exists(Host("M\xC3\xBCsik/\xC3\x89t\xC3\xA9.mp3")));
}

// First handle, then a second open of the same file; whether the second is allowed.
struct ShareCase {
  DWORD access1, share1, access2, share2;
  bool allowed;
};

constexpr DWORD SR = FILE_SHARE_READ, SW = FILE_SHARE_WRITE, SRW = FILE_SHARE_READ | FILE_SHARE_WRITE;

const ShareCase kShareCases[] = {
    {R, SR, R, SR, true},
    {R, SR, R, SRW, true},
    {R, SR, W, SRW, false},   // the first does not share writing
    {R, SRW, W, SRW, true},
    {R, SRW, W, SR, true},    // each allows what the other does
    {W, 0, R, SRW, false},
    {W, SW, W, SW, true},
    {W, SW, R, SRW, false},   // the first does not share reading
    {R, SRW, R, 0, false},    // the second wants it alone, but the first is reading
    {RW, SRW, RW, SRW, true},
    {RW, SRW, RW, SR, false}, // the first writes, the second does not share writing
    {0, 0, RW, 0, true},      // an open with no access (a query) neither needs nor grants anything
    {RW, 0, 0, 0, true},
};

TEST_F(CreateFileTest, ShareModesBetweenOpenHandles) {
  Put(Host("shared.txt"), "content");
  for (const ShareCase& c : kShareCases) {
    Handle first(Open(u"\\shared.txt", c.access1, c.share1));
    ASSERT_TRUE(first.valid());
    PoisonLastError();
    Handle second(Open(u"\\SHARED.TXT", c.access2, c.share2));
    std::string what = std::to_string(c.access1) + "/" + std::to_string(c.share1) + " then " +
                       std::to_string(c.access2) + "/" + std::to_string(c.share2);
    EXPECT_EQ(second.valid(), c.allowed) << what;
    EXPECT_EQ(GetLastError(), c.allowed ? DWORD(ERROR_SUCCESS) : DWORD(ERROR_SHARING_VIOLATION)) << what;
  }
}

TEST_F(CreateFileTest, RefusedOpenLeavesTheFileAlone) {
  Put(Host("keep.txt"), "precious");
  Handle reader(Open(u"\\keep.txt", GENERIC_READ, FILE_SHARE_READ));
  ASSERT_TRUE(reader.valid());
  for (DWORD disposition : {CREATE_ALWAYS, TRUNCATE_EXISTING}) {
    EXPECT_FALSE(Handle(Open(u"\\keep.txt", GENERIC_WRITE, SRW, disposition)).valid());
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  }
  EXPECT_EQ(Get(Host("keep.txt")), "precious");
  reader.Close();
  Handle writer(Open(u"\\keep.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING));
  EXPECT_TRUE(writer.valid());
}

TEST_F(CreateFileTest, ClosingTheLastConflictingHandleAllowsTheOpen) {
  Put(Host("f.txt"), "x");
  Handle a(Open(u"\\f.txt", GENERIC_READ, FILE_SHARE_READ));
  Handle b(Open(u"\\f.txt", GENERIC_READ, FILE_SHARE_READ));
  ASSERT_TRUE(a.valid() && b.valid());
  EXPECT_FALSE(Handle(Open(u"\\f.txt", GENERIC_WRITE, SRW)).valid());
  a.Close();
  EXPECT_FALSE(Handle(Open(u"\\f.txt", GENERIC_WRITE, SRW)).valid());
  b.Close();
  EXPECT_TRUE(Handle(Open(u"\\f.txt", GENERIC_WRITE, SRW)).valid());
}

TEST_F(CreateFileTest, SharingFollowsTheFileNotTheName) {
  Put(device_.card() / "linked.txt", "x");
  fs::create_symlink(device_.card() / "linked.txt", Host("alias.txt"));
  Handle a(Open(u"\\Storage Card\\linked.txt", GENERIC_WRITE, 0));
  ASSERT_TRUE(a.valid());
  EXPECT_FALSE(Handle(Open(u"\\alias.txt", GENERIC_READ, SRW)).valid());
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
}

}  // namespace
}  // namespace zb::files::testing
