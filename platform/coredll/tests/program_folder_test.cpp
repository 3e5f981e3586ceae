// The program folder through the file functions: the device's own folder, with the programs and
// libraries of the binaries' folder showing through it read-only. Reads and listings find them;
// every write, create, rename and delete is refused there or lands in the device's folder, and
// the binaries' folder stays byte for byte as it was.
#include "files_fixture.h"
#include "testing/folder_snapshot.h"

namespace zb::files::testing {
namespace {

class ProgramFolderTest : public FilesTest {
 protected:
  void SetUp() override {
    Put(binaries_ / "gen_image.dll", "image");
    fs::permissions(binaries_ / "gen_image.dll", fs::perms::owner_exec, fs::perm_options::add);
    Put(binaries_ / "stale.db", "left by an older build");
    device_.WriteProfile("[program]\nhost = " + binaries_.string() + "\n");
    before_ = zb::testing::TakeSnapshot(binaries_);
  }
  void TearDown() override {
    EXPECT_EQ(zb::testing::Changes(before_, zb::testing::TakeSnapshot(binaries_)), std::vector<std::string>{});
    fs::remove_all(binaries_);
  }

  // What a device file holds, read through the platform.
  static std::string Read(const char16_t* path) {
    Handle file(Open(path, GENERIC_READ));
    if (!file.valid()) return "(cannot open)";
    char buffer[64];
    DWORD got = 0;
    ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr);
    return std::string(buffer, got);
  }

  static std::vector<std::u16string> List(const char16_t* pattern) {
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern, &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) names.emplace_back(found.cFileName);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return names;
  }

  fs::path binaries_ = device_.root().string() + "-binaries";
  fs::path own_ = Host("Program Files/Zonbrel");
  zb::testing::FolderSnapshot before_;
};

constexpr char16_t kImage[] = u"\\Program Files\\Zonbrel\\gen_image.dll";

TEST_F(ProgramFolderTest, ItsProgramsAreReadAndListedAsReadOnlyFiles) {
  EXPECT_EQ(Read(kImage), "image");
  EXPECT_EQ(Read(u"\\PROGRAM FILES\\zonbrel\\GEN_IMAGE.DLL"), "image");
  const DWORD attributes = GetFileAttributesW(kImage);
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
  Put(own_ / "bookmarks.dat", "own");
  EXPECT_EQ(List(u"\\Program Files\\Zonbrel\\*"), (std::vector<std::u16string>{u"bookmarks.dat", u"gen_image.dll"}));
  EXPECT_EQ(List(u"\\Program Files\\Zonbrel\\gen_*.dll"), std::vector<std::u16string>{u"gen_image.dll"});
  // What else lies in the binaries' folder is none of the device's business.
  PoisonLastError();
  EXPECT_EQ(GetFileAttributesW(u"\\Program Files\\Zonbrel\\stale.db"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(ProgramFolderTest, EveryChangeOfItsProgramsIsRefused) {
  const Refusal opens[] = {
      {"open to write", kImage, ERROR_ACCESS_DENIED},
  };
  ExpectRefusals(opens, [](const char16_t* p) { return Handle(Open(p, GENERIC_WRITE)).valid(); });
  for (DWORD disposition : {DWORD(CREATE_ALWAYS), DWORD(TRUNCATE_EXISTING), DWORD(OPEN_ALWAYS)}) {
    PoisonLastError();
    EXPECT_FALSE(Handle(Open(kImage, GENERIC_READ | GENERIC_WRITE, 0, disposition)).valid()) << disposition;
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED)) << disposition;
  }
  const Refusal deletes[] = {{"delete", kImage, ERROR_ACCESS_DENIED}};
  ExpectRefusals(deletes, [](const char16_t* p) { return DeleteFileW(p) != FALSE; });
  const Refusal moves[] = {{"move away", kImage, ERROR_ACCESS_DENIED}};
  ExpectRefusals(moves, [](const char16_t* p) { return MoveFileW(p, u"\\moved.dll") != FALSE; });
  const Refusal attributes[] = {{"set attributes", kImage, ERROR_ACCESS_DENIED}};
  ExpectRefusals(attributes, [](const char16_t* p) { return SetFileAttributesW(p, FILE_ATTRIBUTE_NORMAL) != FALSE; });
  Put(Host("other.dll"), "other");
  PoisonLastError();
  EXPECT_FALSE(CopyFileW(u"\\other.dll", kImage, FALSE));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  PoisonLastError();
  EXPECT_FALSE(CopyFileW(u"\\other.dll", kImage, TRUE));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));
  PoisonLastError();
  EXPECT_FALSE(MoveFileW(u"\\other.dll", kImage));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
  PoisonLastError();
  EXPECT_FALSE(CreateDirectoryW(kImage, nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
  PoisonLastError();
  EXPECT_FALSE(RemoveDirectoryW(u"\\Program Files\\Zonbrel"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Read(kImage), "image");
}

TEST_F(ProgramFolderTest, WhatIsWrittenThereLandsInTheDevicesOwnFolder) {
  Handle made(Open(u"\\Program Files\\Zonbrel\\metadata.db", GENERIC_WRITE, 0, CREATE_NEW));
  ASSERT_TRUE(made.valid()) << GetLastError();
  made.Close();
  EXPECT_TRUE(fs::exists(own_ / "metadata.db"));
  EXPECT_TRUE(CopyFileW(kImage, u"\\Program Files\\Zonbrel\\copy.dll", TRUE)) << GetLastError();
  EXPECT_EQ(Get(own_ / "copy.dll"), "image");
  EXPECT_TRUE(CreateDirectoryW(u"\\Program Files\\Zonbrel\\Skins", nullptr));
  EXPECT_TRUE(fs::is_directory(own_ / "Skins"));
  EXPECT_TRUE(MoveFileW(u"\\Program Files\\Zonbrel\\metadata.db", u"\\Program Files\\Zonbrel\\stale.db"))
      << "a name only the binaries' folder has is free on the device";
  EXPECT_TRUE(fs::exists(own_ / "stale.db"));
  EXPECT_TRUE(DeleteFileW(u"\\Program Files\\Zonbrel\\stale.db"));
}

TEST_F(ProgramFolderTest, TheDevicesOwnFileOfTheSameNameComesFirstAndCanChange) {
  Put(own_ / "GEN_IMAGE.DLL", "own copy");
  EXPECT_EQ(Read(kImage), "own copy");
  EXPECT_FALSE(GetFileAttributesW(kImage) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(List(u"\\Program Files\\Zonbrel\\gen_*.dll"), std::vector<std::u16string>{u"GEN_IMAGE.DLL"});
  Handle file(Open(kImage, GENERIC_WRITE));
  EXPECT_TRUE(file.valid()) << GetLastError();
  file.Close();
  EXPECT_TRUE(DeleteFileW(kImage)) << GetLastError();
  EXPECT_EQ(Read(kImage), "image") << "the binaries' one shows again";
}

TEST_F(ProgramFolderTest, ALibraryCopiedIntoTheDevicesProgramFolderIsLoadedFromThere) {
  fs::create_directories(own_);
  fs::copy_file(fs::read_symlink("/proc/self/exe").parent_path() / "dec_test.dll", own_ / "dec_copied.dll");
  HMODULE module = LoadLibraryW(u"dec_copied.dll");
  ASSERT_NE(module, nullptr) << GetLastError();
  WCHAR name[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(module, name, MAX_PATH), 0u);
  EXPECT_EQ(std::u16string(name), u"\\Program Files\\Zonbrel\\dec_copied.dll");
  EXPECT_TRUE(FreeLibrary(module));
}

}  // namespace
}  // namespace zb::files::testing
