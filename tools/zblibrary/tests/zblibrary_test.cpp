// The zblibrary command as a person runs it on a device: the report of a new library (whose
// file has exactly the create script's schema), of one with entries, of a missing folder, and
// a move onto the storage card that the next report finds.
#include <gtest/gtest.h>

#include "library_fixture.h"

namespace {

using namespace libtest;

class ZbLibraryCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = device_.root().parent_path() / (device_.root().filename().string() + "-program");
    fs::create_directories(program_);
    device_.WriteProfile("[program]\nhost = " + program_.string() + "\n");
  }
  void TearDown() override { fs::remove_all(program_); }

  // Runs the command (the device reaches it through ZONBREL_DEVICE); its output and exit code.
  std::string Run(const std::string& arguments, int* code) {
    const std::string command = std::string(ZBLIBRARY_PATH) + " " + arguments + " 2>&1";
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int status = ::pclose(pipe);
    *code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
  }
  static bool Says(const std::string& out, const std::string& line) { return out.find(line + "\n") != std::string::npos; }

  zb::testing::TestDevice device_;
  fs::path program_;
};

TEST_F(ZbLibraryCommand, InfoReportsANewLibraryMadeFromTheCreateScript) {
  int code = -1;
  const std::string out = Run("info", &code);
  EXPECT_EQ(code, 0) << out;
  for (const char* line : {"database: \\Program Files\\Zonbrel\\metadata.db", "open: yes", "write suspended: no",
                           "schema: 23", "data version: 7", "page size: 2048", "auto vacuum: incremental",
                           "entries: 0", "integrity: ok"}) {
    EXPECT_TRUE(Says(out, line)) << line << "\n" << out;
  }
  const fs::path db = program_ / "metadata.db";
  ASSERT_TRUE(fs::exists(db));
  const fs::path fresh = program_ / "script.db";
  Shell(fresh, ReadScript("schema_create.sql"));
  EXPECT_EQ(Shell(db, ".schema"), Shell(fresh, ".schema"));
  EXPECT_EQ(ShellValue(db, "PRAGMA page_size;"), "2048");
  EXPECT_EQ(ShellValue(db, "PRAGMA auto_vacuum;"), "2");
  EXPECT_EQ(ShellValue(db, "PRAGMA integrity_check;"), "ok");
}

TEST_F(ZbLibraryCommand, InfoCountsWhatTheLibraryHolds) {
  int code = -1;
  Run("info", &code);
  Shell(program_ / "metadata.db",
        "insert into media values (NULL, '\\a.mp3', 1, 0, 0, 0, 0); insert into media values (NULL, '\\b.mp3', 0, 0, 0, 0, 0);"
        "insert into int_tags values (1, 132074, 0, 5);");
  const std::string out = Run("info", &code);
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(Says(out, "entries: 2")) << out;
  EXPECT_TRUE(Says(out, "  present: 1")) << out;
  EXPECT_TRUE(Says(out, "  missing: 1")) << out;
  EXPECT_TRUE(Says(out, "integer tags: 1")) << out;
}

TEST_F(ZbLibraryCommand, AMissingLibraryFolderIsReportedNotCreated) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Kestrane\\Zonbrel\\2.0", 0, nullptr, 0, 0, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::u16string folder = u"\\Storage Card\\Nowhere";
  RegSetValueExW(key, u"metadataLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                 static_cast<DWORD>((folder.size() + 1) * 2));
  RegCloseKey(key);
  int code = -1;
  const std::string out = Run("info", &code);
  EXPECT_EQ(code, 1);
  EXPECT_TRUE(Says(out, "zblibrary: the library folder \\Storage Card\\Nowhere does not exist")) << out;
  EXPECT_FALSE(fs::exists(device_.card() / "Nowhere"));
}

TEST_F(ZbLibraryCommand, MoveTakesTheLibraryOntoTheCardAndKeepsItThere) {
  int code = -1;
  Run("info", &code);
  Shell(program_ / "metadata.db", "insert into media values (NULL, '\\a.mp3', 1, 0, 0, 0, 0);");
  fs::create_directories(device_.card() / "Library");
  std::string out = Run("move '\\Storage Card\\Library\\'", &code);
  EXPECT_EQ(code, 0) << out;
  EXPECT_TRUE(Says(out, "moving: 0%")) << out;
  EXPECT_TRUE(Says(out, "moving: 100%")) << out;
  EXPECT_FALSE(fs::exists(program_ / "metadata.db"));
  out = Run("info", &code);
  EXPECT_TRUE(Says(out, "database: \\Storage Card\\Library\\metadata.db")) << out;
  EXPECT_TRUE(Says(out, "entries: 1")) << out;
  out = Run("move '\\Storage Card\\Missing'", &code);
  EXPECT_EQ(code, 1) << out;
  EXPECT_TRUE(fs::exists(device_.card() / "Library" / "metadata.db")) << "a failed move keeps the library";
}

TEST_F(ZbLibraryCommand, UsageIsExplained) {
  int code = -1;
  EXPECT_EQ(Run("", &code), "usage: zblibrary info | zblibrary move FOLDER\n");
  EXPECT_EQ(code, 2);
}

}  // namespace
