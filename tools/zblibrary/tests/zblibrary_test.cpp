// The zblibrary command as a person runs it on a device: the report of a new library (whose
// file, in the device's program folder, has exactly the create script's schema), of one with
// entries, of two devices' libraries, of a missing folder, and a move onto the storage card that
// the next report finds.
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
  fs::path program_;  // the binaries' folder: the library never lands there
  fs::path database_ = device_.Host("Program Files/Zonbrel/metadata.db");
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
  const fs::path db = database_;
  ASSERT_TRUE(fs::exists(db));
  EXPECT_TRUE(Says(out, "host path: " + database_.string())) << out;
  EXPECT_TRUE(fs::is_empty(program_)) << "nothing in the binaries' folder";
  const fs::path fresh = device_.root() / "script.db";
  Shell(fresh, ReadScript("schema_create.sql"));
  EXPECT_EQ(Shell(db, ".schema"), Shell(fresh, ".schema"));
  EXPECT_EQ(ShellValue(db, "PRAGMA page_size;"), "2048");
  EXPECT_EQ(ShellValue(db, "PRAGMA auto_vacuum;"), "2");
  EXPECT_EQ(ShellValue(db, "PRAGMA integrity_check;"), "ok");
}

TEST_F(ZbLibraryCommand, InfoCountsWhatTheLibraryHolds) {
  int code = -1;
  Run("info", &code);
  Shell(database_,
        "insert into media values (NULL, '\\a.mp3', 1, 0, 0, 0, 0); insert into media values (NULL, '\\b.mp3', 0, 0, 0, 0, 0);"
        "insert into int_tags values (1, 132074, 0, 5);");
  const std::string out = Run("info", &code);
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(Says(out, "entries: 2")) << out;
  EXPECT_TRUE(Says(out, "  present: 1")) << out;
  EXPECT_TRUE(Says(out, "  missing: 1")) << out;
  EXPECT_TRUE(Says(out, "integer tags: 1")) << out;
}

TEST_F(ZbLibraryCommand, TwoDevicesOneAfterTheOtherKeepTheirOwnLibraries) {
  int code = -1;
  Run("info", &code);
  Shell(database_, "insert into media values (NULL, '\\a.mp3', 1, 0, 0, 0, 0);");
  {
    zb::testing::TestDevice other;
    other.WriteProfile("[program]\nhost = " + program_.string() + "\n");
    const std::string out = Run("info", &code);
    EXPECT_EQ(code, 0) << out;
    EXPECT_TRUE(Says(out, "host path: " + other.Host("Program Files/Zonbrel/metadata.db").string())) << out;
    EXPECT_TRUE(Says(out, "entries: 0")) << out;
  }
  const std::string out = Run("info", &code);
  EXPECT_TRUE(Says(out, "host path: " + database_.string())) << out;
  EXPECT_TRUE(Says(out, "entries: 1")) << out;
  EXPECT_TRUE(fs::is_empty(program_));
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
  Shell(database_, "insert into media values (NULL, '\\a.mp3', 1, 0, 0, 0, 0);");
  fs::create_directories(device_.card() / "Library");
  std::string out = Run("move '\\Storage Card\\Library\\'", &code);
  EXPECT_EQ(code, 0) << out;
  EXPECT_TRUE(Says(out, "moving: 0%")) << out;
  EXPECT_TRUE(Says(out, "moving: 100%")) << out;
  EXPECT_FALSE(fs::exists(database_));
  out = Run("info", &code);
  EXPECT_TRUE(Says(out, "database: \\Storage Card\\Library\\metadata.db")) << out;
  EXPECT_TRUE(Says(out, "entries: 1")) << out;
  out = Run("move '\\Storage Card\\Missing'", &code);
  EXPECT_EQ(code, 1) << out;
  EXPECT_TRUE(fs::exists(device_.card() / "Library" / "metadata.db")) << "a failed move keeps the library";
}

// Three entries with an artist, a rating and a date; one of them went missing.
constexpr const char* kThreeEntries =
    "insert into media values (1, '\\a.mp3', 1, 0, 0, 0, 0); insert into media values (2, '\\b.mp3', 1, 0, 0, 0, 0);"
    "insert into media values (3, '\\c.mp3', 0, 0, 0, 0, 0);"
    "insert into str_data values (1, 'The Beatles', 11, 2); insert into str_data values (2, 'Can', 3, 1);"
    "insert into str_tags values (1, 65541, 0, 1); insert into str_tags values (2, 65541, 0, 2);"
    "insert into str_tags values (3, 65541, 0, 1);"
    "insert into int_tags values (1, 132074, 0, 80); insert into int_tags values (2, 132074, 0, 20);"
    "insert into date_tags values (1, 264147, 0, '1969-01-01 00:00:00', '1969');";

TEST_F(ZbLibraryCommand, QueryPrintsTheSourcesThatMatchItsConditions) {
  int code = -1;
  Run("info", &code);
  Shell(database_, kThreeEntries);
  struct Case {
    const char* arguments;
    const char* out;
  };
  const Case cases[] = {
      {"query", "\\a.mp3\n\\b.mp3\n2 items\n"},
      {"query 'artist~beatles'", "\\a.mp3\n1 items\n"},
      {"query --all 'Artist=the beatles'", "\\a.mp3\n\\c.mp3\n2 items\n"},
      {"query 'Rating>=50'", "\\a.mp3\n1 items\n"},
      {"query --invert 'Rating>=50'", "\\b.mp3\n1 items\n"},
      {"query 'Release date~1969'", "\\a.mp3\n1 items\n"},
      {"query --missing 'Release date'", "\\b.mp3\n1 items\n"},
      {"query 'Artist:3=an' 'Rating<=20'", "\\b.mp3\n1 items\n"},
      {"query --limit 1 'Artist!=x'", "\\a.mp3\n1 items\n"},
      {"query --values Artist", "Can\nThe Beatles\n2 values\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.arguments, &code), c.out) << c.arguments;
    EXPECT_EQ(code, 0) << c.arguments;
  }
}

TEST_F(ZbLibraryCommand, QueryExplainsConditionsItCannotRun) {
  int code = -1;
  Run("info", &code);
  const struct {
    const char* arguments;
    const char* out;
    int code;
  } cases[] = {
      {"query Artist", "zblibrary: \"Artist\" is not a condition\n", 1},
      {"query 'Colour=red'", "zblibrary: no tag is called \"Colour\"\n", 1},
      {"query 'Rating~5'", "zblibrary: \"Rating~5\" has no operator for a tag of type 2\n", 1},
      {"query 'Rating=high'", "zblibrary: \"high\" is not a value of Rating\n", 1},
      {"query 'Artist:21=x'", "zblibrary: the query failed (0x80004005)\n", 1},
      {"query --limit 0", nullptr, 2},
  };
  for (const auto& c : cases) {
    const std::string out = Run(c.arguments, &code);
    if (c.out) {
      EXPECT_EQ(out, c.out) << c.arguments;
    }
    EXPECT_EQ(code, c.code) << c.arguments;
  }
}

TEST_F(ZbLibraryCommand, UsageIsExplained) {
  int code = -1;
  EXPECT_EQ(Run("", &code), "usage: zblibrary info | zblibrary move FOLDER | zblibrary query CONDITION... | zblibrary scan [FOLDER]\n");
  EXPECT_EQ(code, 2);
}

}  // namespace
