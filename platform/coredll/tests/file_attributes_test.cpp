// File attributes: what GetFileAttributesW reports for files, folders, cards and missing
// paths; SetFileAttributesW with the read-only bit in the host mode and the others in the
// state folder's table, seen by other processes too.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files_fixture.h"

namespace zb::files::testing {
namespace {

class FileAttributesTest : public FilesTest {
 protected:
  void SetUp() override {
    Put(Host("Docs/a.txt"), "alpha");
    fs::create_directories(Host("Docs/Sub"));
  }
  static bool HostWritable(const fs::path& p) { return (fs::status(p).permissions() & fs::perms::owner_write) != fs::perms::none; }
};

TEST_F(FileAttributesTest, GetFileAttributesOfWhatExistsAndWhatDoesNot) {
  const std::pair<const char16_t*, DWORD> found[] = {
      {u"\\Docs\\a.txt", FILE_ATTRIBUTE_NORMAL},
      {u"\\DOCS\\A.TXT", FILE_ATTRIBUTE_NORMAL},
      {u"\\Docs", FILE_ATTRIBUTE_DIRECTORY},
      {u"\\", FILE_ATTRIBUTE_DIRECTORY},
      {u"\\Storage Card", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY},
      {u"/storage card/", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY},
      {u"\\Program Files\\Zonbrel", FILE_ATTRIBUTE_DIRECTORY},
  };
  for (auto [path, attributes] : found) EXPECT_EQ(GetFileAttributesW(path), attributes) << ToUtf8(path);

  const Refusal missing[] = {
      {"a missing file", u"\\Docs\\none.txt", ERROR_FILE_NOT_FOUND},
      {"a missing folder", u"\\None\\a.txt", ERROR_PATH_NOT_FOUND},
      {"a file as a folder", u"\\Docs\\a.txt\\x", ERROR_PATH_NOT_FOUND},
      {"a wildcard", u"\\Docs\\a*.txt", ERROR_INVALID_NAME},
      {"the state folder", u"\\.zonbrel", ERROR_ACCESS_DENIED},
      {"in the state folder", u"\\.zonbrel\\profile.ini", ERROR_PATH_NOT_FOUND},
      {"no name", nullptr, ERROR_INVALID_PARAMETER},
  };
  ExpectRefusals(missing, [](const char16_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; });
}

TEST_F(FileAttributesTest, CardWithoutItsFolderIsNotThere) {
  device_.WriteProfile("[storage cards]\n");
  EXPECT_EQ(GetFileAttributesW(u"\\Storage Card"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

struct AttributeCase {
  DWORD set;
  DWORD file;    // read back from a file
  DWORD folder;  // read back from a folder
  bool hostWritable;
};

const AttributeCase kAttributeCases[] = {
    {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY, false},
    {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, true},
    {FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE,
     FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE, true},
    {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN,
     FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, false},
    {FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_DIRECTORY, true},
    {FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_DIRECTORY, true},
};

TEST_F(FileAttributesTest, SetThenGetOnFilesAndFolders) {
  for (const AttributeCase& c : kAttributeCases) {
    ASSERT_TRUE(SetFileAttributesW(u"\\docs\\A.txt", c.set)) << c.set;
    EXPECT_EQ(GetFileAttributesW(u"\\Docs\\a.txt"), c.file) << c.set;
    EXPECT_EQ(HostWritable(Host("Docs/a.txt")), c.hostWritable) << c.set;
    ASSERT_TRUE(SetFileAttributesW(u"\\Docs\\Sub", c.set)) << c.set;
    EXPECT_EQ(GetFileAttributesW(u"\\Docs\\Sub"), c.folder) << c.set;
    EXPECT_TRUE(HostWritable(Host("Docs/Sub"))) << "a read-only folder must still take new files";
  }
}

TEST_F(FileAttributesTest, ReadOnlyFromTheHostIsReported) {
  MakeReadOnly(Host("Docs/a.txt"));
  EXPECT_EQ(GetFileAttributesW(u"\\Docs\\a.txt"), DWORD(FILE_ATTRIBUTE_READONLY));
}

TEST_F(FileAttributesTest, SetFileAttributesRefusals) {
  const Refusal refusals[] = {
      {"a missing file", u"\\Docs\\none.txt", ERROR_FILE_NOT_FOUND},
      {"a missing folder", u"\\None\\a.txt", ERROR_PATH_NOT_FOUND},
      {"the root", u"\\", ERROR_ACCESS_DENIED},
      {"a storage card", u"\\Storage Card", ERROR_ACCESS_DENIED},
      {"the state folder", u"\\.zonbrel", ERROR_ACCESS_DENIED},
      {"no name", nullptr, ERROR_INVALID_PARAMETER},
  };
  ExpectRefusals(refusals, [](const char16_t* path) { return SetFileAttributesW(path, FILE_ATTRIBUTE_HIDDEN); });
  EXPECT_EQ(GetFileAttributesW(u"\\Storage Card"), DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY));
}

TEST_F(FileAttributesTest, DeletedFileTakesItsAttributesAlong) {
  ASSERT_TRUE(SetFileAttributesW(u"\\Docs\\a.txt", FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(DeleteFileW(u"\\Docs\\a.txt"));
  Put(Host("Docs/a.txt"), "a namesake made by the host");
  EXPECT_EQ(GetFileAttributesW(u"\\Docs\\a.txt"), DWORD(FILE_ATTRIBUTE_NORMAL));
}

TEST_F(FileAttributesTest, AnotherProcessSeesTheChange) {
  EXPECT_EQ(GetFileAttributesW(u"\\Docs\\a.txt"), DWORD(FILE_ATTRIBUTE_NORMAL));  // read (and cached) here first
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(SetFileAttributesW(u"\\Docs\\a.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) ? 0 : 1);
  int status = -1;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(GetFileAttributesW(u"\\Docs\\a.txt"), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

TEST_F(FileAttributesTest, ProcessesSettingAttributesAtOnceLoseNone) {
  constexpr int kChildren = 4, kFiles = 10;
  for (int c = 0; c < kChildren; ++c) {
    for (int f = 0; f < kFiles; ++f) Put(Host("Many/" + std::to_string(c) + "-" + std::to_string(f)), "x");
  }
  std::vector<pid_t> children;
  for (int c = 0; c < kChildren; ++c) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      bool ok = true;
      for (int f = 0; f < kFiles; ++f) {
        std::u16string path = u"\\Many\\" + FromUtf8(std::to_string(c) + "-" + std::to_string(f));
        ok &= SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN) != FALSE;
      }
      _exit(ok ? 0 : 1);
    }
    children.push_back(child);
  }
  for (pid_t child : children) {
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int c = 0; c < kChildren; ++c) {
    for (int f = 0; f < kFiles; ++f) {
      std::u16string path = u"\\Many\\" + FromUtf8(std::to_string(c) + "-" + std::to_string(f));
      EXPECT_EQ(GetFileAttributesW(path.c_str()), DWORD(FILE_ATTRIBUTE_HIDDEN)) << ToUtf8(path);
    }
  }
}

TEST_F(FileAttributesTest, TableThatCannotBeWrittenFailsTheCallAndKeepsTheOldOne) {
  ASSERT_TRUE(SetFileAttributesW(u"\\Docs\\a.txt", FILE_ATTRIBUTE_HIDDEN));
  // Block the table's next version with a folder where its new file would go.
  fs::path blocker = device::StateFolder() / ("attributes.new." + std::to_string(getpid()));
  fs::create_directories(blocker);
  PoisonLastError();
  EXPECT_FALSE(SetFileAttributesW(u"\\Docs\\a.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM));
  EXPECT_EQ(GetLastError(), ERROR_WRITE_FAULT);
  EXPECT_EQ(GetFileAttributesW(u"\\Docs\\a.txt"), DWORD(FILE_ATTRIBUTE_HIDDEN));
  EXPECT_TRUE(HostWritable(Host("Docs/a.txt")));
  fs::remove(blocker);
  EXPECT_TRUE(SetFileAttributesW(u"\\Docs\\a.txt", FILE_ATTRIBUTE_SYSTEM));
  EXPECT_EQ(GetFileAttributesW(u"\\Docs\\a.txt"), DWORD(FILE_ATTRIBUTE_SYSTEM));
}

TEST_F(FileAttributesTest, DamagedTableLosesOnlyItsDamagedLines) {
  ASSERT_TRUE(SetFileAttributesW(u"\\Docs\\a.txt", FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesW(u"\\Docs\\Sub", FILE_ATTRIBUTE_SYSTEM));
  fs::path table = device::StateFolder() / "attributes";
  std::string text = Get(table);
  Put(table, "garbage line\n\xFF\xFE\n" + text + "zz 1\n");
  EXPECT_EQ(GetFileAttributesW(u"\\Docs\\a.txt"), DWORD(FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(GetFileAttributesW(u"\\Docs\\Sub"), DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));
}

}  // namespace
}  // namespace zb::files::testing
