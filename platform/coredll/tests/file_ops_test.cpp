// Deleting, moving and copying files and making and removing folders: the successful paths and
// every error each reports, with the files left as they were whenever a call fails.
#include <sys/stat.h>

#include "files_fixture.h"

namespace zb::files::testing {
namespace {

class FileOpsTest : public FilesTest {
 protected:
  void SetUp() override {
    Put(Host("Docs/a.txt"), "alpha");
    Put(Host("Docs/b.txt"), "beta");
    Put(Host("Docs/ro.txt"), "locked");
    MakeReadOnly(Host("Docs/ro.txt"));
    fs::create_directories(Host("Docs/Empty"));
    Put(Host("Docs/Full/inner.txt"), "inner");
  }

  // The names in a host folder, to show nothing (such as a half-made copy) was left behind.
  static std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
};

const Refusal kDeleteRefusals[] = {
    {"a missing file", u"\\Docs\\none.txt", ERROR_FILE_NOT_FOUND},
    {"a missing folder on the way", u"\\None\\a.txt", ERROR_PATH_NOT_FOUND},
    {"a folder", u"\\Docs\\Empty", ERROR_ACCESS_DENIED},
    {"a read-only file", u"\\Docs\\ro.txt", ERROR_ACCESS_DENIED},
    {"the root", u"\\", ERROR_ACCESS_DENIED},
    {"a storage card", u"\\Storage Card", ERROR_ACCESS_DENIED},
    {"a wildcard", u"\\Docs\\*.txt", ERROR_INVALID_NAME},
    {"the state folder", u"\\.zonbrel\\profile.ini", ERROR_PATH_NOT_FOUND},
    {"no name", nullptr, ERROR_INVALID_PARAMETER},
};

TEST_F(FileOpsTest, DeleteFileRefusals) {
  auto before = Names(Host("Docs"));
  ExpectRefusals(kDeleteRefusals, DeleteFileW);
  EXPECT_EQ(Names(Host("Docs")), before);
  EXPECT_TRUE(fs::exists(device::StateFolder() / "profile.ini"));
}

TEST_F(FileOpsTest, DeleteFileRemovesTheFileWhateverItsCase) {
  EXPECT_TRUE(DeleteFileW(u"\\docs\\A.TXT"));
  EXPECT_FALSE(fs::exists(Host("Docs/a.txt")));
}

TEST_F(FileOpsTest, DeleteFileOfAnOpenFileIsASharingViolation) {
  Handle h(Open(u"\\Docs\\a.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE));
  ASSERT_TRUE(h.valid());
  EXPECT_FALSE(DeleteFileW(u"\\Docs\\a.txt"));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_TRUE(fs::exists(Host("Docs/a.txt")));
  h.Close();
  EXPECT_TRUE(DeleteFileW(u"\\Docs\\a.txt"));
}

TEST_F(FileOpsTest, ReadOnlyFileIsDeletedOnceTheBitIsCleared) {
  ASSERT_TRUE(SetFileAttributesW(u"\\Docs\\ro.txt", FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(DeleteFileW(u"\\Docs\\ro.txt"));
}

struct MoveRefusal {
  const char* what;
  const char16_t* from;
  const char16_t* to;
  DWORD error;
};

const MoveRefusal kMoveRefusals[] = {
    {"the target exists", u"\\Docs\\a.txt", u"\\Docs\\B.TXT", ERROR_ALREADY_EXISTS},
    {"a folder onto a file", u"\\Docs\\Empty", u"\\Docs\\b.txt", ERROR_ALREADY_EXISTS},
    {"a missing source", u"\\Docs\\none.txt", u"\\Docs\\c.txt", ERROR_FILE_NOT_FOUND},
    {"a missing source folder", u"\\None\\a.txt", u"\\Docs\\c.txt", ERROR_PATH_NOT_FOUND},
    {"a missing target folder", u"\\Docs\\a.txt", u"\\None\\a.txt", ERROR_PATH_NOT_FOUND},
    {"a folder into itself", u"\\Docs\\Full", u"\\Docs\\Full\\Deeper", ERROR_INVALID_PARAMETER},
    {"onto a storage card", u"\\Docs\\a.txt", u"\\Storage Card", ERROR_ALREADY_EXISTS},
    {"a storage card itself", u"\\Storage Card", u"\\Docs\\Card", ERROR_ACCESS_DENIED},
    {"the program folder", u"\\Program Files\\Zonbrel", u"\\Docs\\Zonbrel", ERROR_ACCESS_DENIED},
    {"the root", u"\\", u"\\Docs\\Root", ERROR_ACCESS_DENIED},
    {"a bad new name", u"\\Docs\\a.txt", u"\\Docs\\a?.txt", ERROR_INVALID_NAME},
    {"into the state folder", u"\\Docs\\a.txt", u"\\.zonbrel\\a.txt", ERROR_PATH_NOT_FOUND},
    {"onto the state folder", u"\\Docs\\Empty", u"\\.zonbrel", ERROR_ACCESS_DENIED},
};

TEST_F(FileOpsTest, MoveFileRefusals) {
  for (const MoveRefusal& r : kMoveRefusals) {
    PoisonLastError();
    EXPECT_FALSE(MoveFileW(r.from, r.to)) << r.what;
    EXPECT_EQ(GetLastError(), r.error) << r.what;
  }
  EXPECT_EQ(Get(Host("Docs/a.txt")), "alpha");
  EXPECT_EQ(Get(Host("Docs/b.txt")), "beta");
  EXPECT_EQ(Get(Host("Docs/Full/inner.txt")), "inner");
  EXPECT_TRUE(fs::is_directory(Host("Docs/Empty")));
}

TEST_F(FileOpsTest, MoveFileRenamesAndMovesFilesAndFolders) {
  EXPECT_TRUE(MoveFileW(u"\\Docs\\a.txt", u"\\Docs\\Empty\\moved.txt"));
  EXPECT_EQ(Get(Host("Docs/Empty/moved.txt")), "alpha");
  EXPECT_FALSE(fs::exists(Host("Docs/a.txt")));
  EXPECT_TRUE(MoveFileW(u"\\docs\\full", u"\\Renamed"));
  EXPECT_EQ(Get(Host("Renamed/inner.txt")), "inner");
  EXPECT_TRUE(MoveFileW(u"\\Docs\\b.txt", u"\\Storage Card\\b.txt"));
  EXPECT_EQ(Get(device_.card() / "b.txt"), "beta");
}

TEST_F(FileOpsTest, MoveFileChangesOnlyTheCaseOfAName) {
  EXPECT_TRUE(MoveFileW(u"\\Docs\\a.txt", u"\\Docs\\A.TXT"));
  EXPECT_EQ(Names(Host("Docs"))[0], "A.TXT");
  EXPECT_TRUE(MoveFileW(u"\\Docs\\Empty", u"\\Docs\\EMPTY"));
  EXPECT_TRUE(fs::is_directory(Host("Docs/EMPTY")));
  EXPECT_TRUE(MoveFileW(u"\\Docs\\b.txt", u"\\Docs\\b.txt"));  // the same name: nothing to do
}

TEST_F(FileOpsTest, MoveFileOfAnOpenFileIsASharingViolation) {
  Handle h(Open(u"\\Docs\\a.txt", GENERIC_READ));
  EXPECT_FALSE(MoveFileW(u"\\Docs\\a.txt", u"\\Docs\\c.txt"));
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_TRUE(fs::exists(Host("Docs/a.txt")));
}

TEST_F(FileOpsTest, MoveFileTakesTheAttributesAlong) {
  ASSERT_TRUE(SetFileAttributesW(u"\\Docs\\Full\\inner.txt", FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesW(u"\\Docs\\a.txt", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(MoveFileW(u"\\Docs\\a.txt", u"\\a.txt"));
  ASSERT_TRUE(MoveFileW(u"\\Docs\\Full", u"\\Full"));
  EXPECT_EQ(GetFileAttributesW(u"\\a.txt"), DWORD(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributesW(u"\\Full\\inner.txt"), DWORD(FILE_ATTRIBUTE_HIDDEN));
  // A new file at the old place starts plain.
  Handle(Open(u"\\Docs\\a.txt", GENERIC_WRITE, 0, CREATE_NEW));
  EXPECT_EQ(GetFileAttributesW(u"\\Docs\\a.txt"), DWORD(FILE_ATTRIBUTE_NORMAL));
}

// A card on another host file system: the move copies and then removes the original.
TEST_F(FileOpsTest, MoveFileAcrossHostFileSystems) {
  fs::path shm = "/dev/shm";
  struct stat a {}, b {};
  if (::stat(shm.c_str(), &a) != 0 || ::stat(device_.root().c_str(), &b) != 0 || a.st_dev == b.st_dev) {
    GTEST_SKIP() << "no second host file system to mount a card from";
  }
  fs::path card = shm / ("zbcard-" + device_.root().filename().string());
  fs::create_directories(card);
  device_.WriteProfile("[storage cards]\nSD = " + card.string() + "\n");
  ASSERT_TRUE(SetFileAttributesW(u"\\Docs\\a.txt", FILE_ATTRIBUTE_HIDDEN));
  EXPECT_TRUE(MoveFileW(u"\\Docs\\a.txt", u"\\SD\\a.txt"));
  EXPECT_EQ(Get(card / "a.txt"), "alpha");
  EXPECT_FALSE(fs::exists(Host("Docs/a.txt")));
  EXPECT_EQ(GetFileAttributesW(u"\\SD\\a.txt"), DWORD(FILE_ATTRIBUTE_HIDDEN));
  Put(Host("Docs/a.txt"), "again");
  EXPECT_FALSE(MoveFileW(u"\\Docs\\a.txt", u"\\SD\\a.txt"));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(Get(card / "a.txt"), "alpha");
  EXPECT_FALSE(MoveFileW(u"\\Docs\\Full", u"\\SD\\Full"));
  EXPECT_EQ(GetLastError(), ERROR_NOT_SAME_DEVICE);
  EXPECT_TRUE(fs::exists(Host("Docs/Full/inner.txt")));
  EXPECT_EQ(Names(card), std::vector<std::string>{"a.txt"});
  fs::remove_all(card);
}

struct CopyRefusal {
  const char* what;
  const char16_t* from;
  const char16_t* to;
  BOOL failIfExists;
  DWORD error;
};

const CopyRefusal kCopyRefusals[] = {
    {"the target exists", u"\\Docs\\a.txt", u"\\Docs\\b.txt", TRUE, ERROR_FILE_EXISTS},
    {"a missing source", u"\\Docs\\none.txt", u"\\Docs\\c.txt", FALSE, ERROR_FILE_NOT_FOUND},
    {"a missing source folder", u"\\None\\a.txt", u"\\Docs\\c.txt", FALSE, ERROR_PATH_NOT_FOUND},
    {"a folder as source", u"\\Docs\\Full", u"\\Docs\\c.txt", FALSE, ERROR_ACCESS_DENIED},
    {"a folder as target", u"\\Docs\\a.txt", u"\\Docs\\Empty", FALSE, ERROR_ACCESS_DENIED},
    {"a read-only target", u"\\Docs\\a.txt", u"\\Docs\\ro.txt", FALSE, ERROR_ACCESS_DENIED},
    {"a missing target folder", u"\\Docs\\a.txt", u"\\None\\c.txt", FALSE, ERROR_PATH_NOT_FOUND},
    {"onto itself", u"\\Docs\\a.txt", u"\\DOCS\\A.txt", FALSE, ERROR_SHARING_VIOLATION},
    {"a bad new name", u"\\Docs\\a.txt", u"\\Docs\\c|d.txt", FALSE, ERROR_INVALID_NAME},
};

TEST_F(FileOpsTest, CopyFileRefusalsLeaveEverythingAsItWas) {
  auto before = Names(Host("Docs"));
  for (const CopyRefusal& r : kCopyRefusals) {
    PoisonLastError();
    EXPECT_FALSE(CopyFileW(r.from, r.to, r.failIfExists)) << r.what;
    EXPECT_EQ(GetLastError(), r.error) << r.what;
  }
  EXPECT_EQ(Names(Host("Docs")), before);
  EXPECT_EQ(Get(Host("Docs/a.txt")), "alpha");
  EXPECT_EQ(Get(Host("Docs/b.txt")), "beta");
  EXPECT_EQ(Get(Host("Docs/ro.txt")), "locked");
}

TEST_F(FileOpsTest, CopyFileCopiesContentAttributesAndWriteTime) {
  ASSERT_TRUE(SetFileAttributesW(u"\\Docs\\ro.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(CopyFileW(u"\\Docs\\ro.txt", u"\\Storage Card\\copy.txt", TRUE));
  EXPECT_EQ(Get(device_.card() / "copy.txt"), "locked");
  EXPECT_EQ(GetFileAttributesW(u"\\Storage Card\\copy.txt"), DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(fs::last_write_time(device_.card() / "copy.txt"), fs::last_write_time(Host("Docs/ro.txt")));
}

TEST_F(FileOpsTest, CopyFileReplacesWhenAsked) {
  ASSERT_TRUE(CopyFileW(u"\\Docs\\a.txt", u"\\Docs\\b.txt", FALSE));
  EXPECT_EQ(Get(Host("Docs/b.txt")), "alpha");
  EXPECT_EQ(Get(Host("Docs/a.txt")), "alpha");
}

TEST_F(FileOpsTest, CopyFileRespectsOpenHandles) {
  {
    Handle target(Open(u"\\Docs\\b.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_FALSE(CopyFileW(u"\\Docs\\a.txt", u"\\Docs\\b.txt", FALSE));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(Get(Host("Docs/b.txt")), "beta");
  }
  {
    Handle source(Open(u"\\Docs\\a.txt", GENERIC_WRITE, 0));
    EXPECT_FALSE(CopyFileW(u"\\Docs\\a.txt", u"\\Docs\\c.txt", FALSE));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(fs::exists(Host("Docs/c.txt")));
  }
  {
    Handle reader(Open(u"\\Docs\\a.txt", GENERIC_READ, FILE_SHARE_READ));
    char c;
    DWORD done = 0;
    ASSERT_TRUE(ReadFile(reader.get(), &c, 1, &done, nullptr));
    EXPECT_TRUE(CopyFileW(u"\\Docs\\a.txt", u"\\Docs\\c.txt", TRUE));  // sharing readers may copy
    EXPECT_EQ(SetFilePointer(reader.get(), 0, nullptr, FILE_CURRENT), 1u);  // and the reader keeps its place
  }
  EXPECT_EQ(Get(Host("Docs/c.txt")), "alpha");
}

const Refusal kCreateDirectoryRefusals[] = {
    {"an existing folder", u"\\Docs\\Empty", ERROR_ALREADY_EXISTS},
    {"an existing folder in another case", u"\\DOCS\\EMPTY", ERROR_ALREADY_EXISTS},
    {"an existing file", u"\\Docs\\a.txt", ERROR_ALREADY_EXISTS},
    {"a missing parent", u"\\None\\New", ERROR_PATH_NOT_FOUND},
    {"the root", u"\\", ERROR_ALREADY_EXISTS},
    {"a storage card", u"\\Storage Card", ERROR_ALREADY_EXISTS},
    {"a bad name", u"\\Docs\\New>", ERROR_INVALID_NAME},
    {"the state folder", u"\\.zonbrel", ERROR_ACCESS_DENIED},
    {"in the state folder", u"\\.zonbrel\\New", ERROR_PATH_NOT_FOUND},
};

TEST_F(FileOpsTest, CreateDirectoryRefusals) {
  ExpectRefusals(kCreateDirectoryRefusals, [](const char16_t* path) { return CreateDirectoryW(path, nullptr); });
  EXPECT_EQ(Names(Host("Docs/Empty")).size(), 0u);
}

TEST_F(FileOpsTest, CreateDirectoryMakesFoldersOnTheDeviceAndCards) {
  EXPECT_TRUE(CreateDirectoryW(u"\\docs\\New Folder", nullptr));
  EXPECT_TRUE(fs::is_directory(Host("Docs/New Folder")));
  EXPECT_TRUE(CreateDirectoryW(u"/Storage Card/Podcasts/", nullptr));
  EXPECT_TRUE(fs::is_directory(device_.card() / "Podcasts"));
}

const Refusal kRemoveDirectoryRefusals[] = {
    {"a folder with files", u"\\Docs\\Full", ERROR_DIR_NOT_EMPTY},
    {"a missing folder", u"\\Docs\\None", ERROR_FILE_NOT_FOUND},
    {"a missing parent", u"\\None\\Deeper", ERROR_PATH_NOT_FOUND},
    {"a file", u"\\Docs\\a.txt", ERROR_DIRECTORY},
    {"the root", u"\\", ERROR_ACCESS_DENIED},
    {"a storage card", u"\\Storage Card", ERROR_ACCESS_DENIED},
    {"the program folder", u"\\Program Files\\Zonbrel", ERROR_ACCESS_DENIED},
    {"the folder the program folder sits in", u"\\Program Files", ERROR_DIR_NOT_EMPTY},
};

TEST_F(FileOpsTest, RemoveDirectoryRefusals) {
  ExpectRefusals(kRemoveDirectoryRefusals, RemoveDirectoryW);
  EXPECT_TRUE(fs::exists(Host("Docs/Full/inner.txt")));
  EXPECT_TRUE(fs::is_directory(Host("Program Files")));
}

TEST_F(FileOpsTest, RemoveDirectoryOfAReadOnlyFolderIsDenied) {
  ASSERT_TRUE(SetFileAttributesW(u"\\Docs\\Empty", FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(RemoveDirectoryW(u"\\Docs\\Empty"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  ASSERT_TRUE(SetFileAttributesW(u"\\Docs\\Empty", FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(RemoveDirectoryW(u"\\Docs\\Empty"));
  EXPECT_FALSE(fs::exists(Host("Docs/Empty")));
}

}  // namespace
}  // namespace zb::files::testing
