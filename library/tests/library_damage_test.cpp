// A library that can't be used is kept, not deleted: the damaged file is moved aside under a
// numbered ".bad" name, byte for byte, and logged before a new library is made; at most three
// are kept. A file that is only out of reach (held by another program, read-only, the medium
// full) is never moved, rebuilt or replaced.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <functional>

#include "library_fixture.h"
#include "library_schema.h"
#include "sql_database.h"

namespace {

using namespace libtest;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

constexpr size_t kPageSize = 2048;

// Byte for byte, without printing the bytes when they differ.
::testing::AssertionResult SameBytes(const std::string& a, const std::string& b) {
  if (a == b) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
  return ::testing::AssertionFailure() << "sizes " << a.size() << " and " << b.size() << ", first difference at " << at;
}

// Overwrites page `page` (1-based) of the file with a pattern no page has.
void DamagePage(const fs::path& path, int page) {
  std::string bytes = ReadBytes(path);
  ASSERT_LE(page * kPageSize, bytes.size());
  std::fill_n(bytes.begin() + (page - 1) * kPageSize, kPageSize, '\xA5');
  WriteBytes(path, bytes);
}

// The page of the file that holds `name` ('sqlite_schema' or a table), the last of its leaves.
int PageOf(const fs::path& db, const char* name) {
  return std::stoi(ShellValue(db, std::string("select max(pageno) from dbstat where name='") + name +
                                      "' and pagetype='leaf';"));
}

// The older schema the check rebuilds in place when it can, with one entry.
std::string OlderLibrary() {
  return ReadScript("schema_create.sql") +
         "insert into config values ('schema', 22); insert into config values ('version', 7);"
         "insert into media values (NULL, '\\kept.mp3', 1, 10, 0, 0, datetime('now'));";
}

class LibraryDamageTest : public LibraryTest {
 protected:
  // A library of the player's own making with a few hundred entries.
  void MakeLibrary() {
    OpenLibrary();
    Exec("with recursive n(i) as (select 1 union all select i+1 from n where i < 400) insert into media select "
         "NULL, '\\Storage Card\\Music\\A long folder name for the song\\' || i || '.mp3', 1, 0, 0, 0, 0 from n;");
    CloseLibrary();
    ASSERT_EQ(ShellValue(HostDb(), "select count(*) from media;"), "400");
  }
  fs::path Copy(int n) const { return HostDb().string() + ".bad" + (n == 0 ? "" : "." + std::to_string(n)); }

  // Starts the library with its error log; the log's text after the library closed again.
  std::string StartLoggedAndClose(HRESULT* started, int* entries) {
    library_ = new CMediaLibrary(GetModuleHandleW(nullptr), &sink_);
    library_->SetLogFile(u"\\Library\\errors.log");
    *started = library_->Start(kPath, 7);
    *entries = Scalar(u"select count(*) from media;");
    CloseLibrary();
    const std::string bytes = ReadBytes(device_.Host("Library/errors.log"));
    return bytes.size() < 2 ? std::string() : WideToUtf8(std::u16string(
                                                  reinterpret_cast<const char16_t*>(bytes.data() + 2), (bytes.size() - 2) / 2));
  }
};

struct DamageCase {
  const char* name;
  std::function<void(const fs::path&)> damage;
};

TEST_F(LibraryDamageTest, ADamagedLibraryIsKeptAsItWasAndANewOneMade) {
  const DamageCase cases[] = {
      {"the header", [](const fs::path& db) { DamagePage(db, 1); }},
      {"a page of the schema mid-file",
       [](const fs::path& db) {
         const int page = PageOf(db, "sqlite_schema");
         ASSERT_GT(page, 2);
         ASSERT_LT(page * kPageSize, fs::file_size(db)) << "not the file's end";
         DamagePage(db, page);
       }},
      {"the page of the library's settings", [](const fs::path& db) { DamagePage(db, PageOf(db, "config")); }},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (const fs::path& stale : {HostDb(), Copy(0), Copy(1)}) fs::remove(stale);
    MakeLibrary();
    c.damage(HostDb());
    const std::string damaged = ReadBytes(HostDb());

    HRESULT started = E_FAIL;
    int entries = -1;
    const std::string log = StartLoggedAndClose(&started, &entries);
    EXPECT_EQ(started, S_OK);
    EXPECT_EQ(entries, 0) << "a new library";
    EXPECT_EQ(ShellValue(HostDb(), "select name || '=' || value from config order by name;"), "schema=23\nversion=7");
    EXPECT_TRUE(SameBytes(ReadBytes(Copy(0)), damaged)) << "kept byte for byte";
    EXPECT_FALSE(fs::exists(Copy(1)));
    const size_t failed = log.find("schema update failed. creating new database.");
    const size_t kept = log.find("kept the unusable library as \\Library\\metadata.db.bad\r\n");
    EXPECT_NE(failed, std::string::npos) << log;
    EXPECT_NE(kept, std::string::npos) << log;
    EXPECT_LT(failed, kept);
  }
}

TEST_F(LibraryDamageTest, AtMostThreeDamagedLibrariesAreKeptTheOldestGoes) {
  std::vector<std::string> damaged;
  for (int i = 1; i <= 5; ++i) {
    damaged.push_back(std::string(3000, 'x') + " damaged library " + std::to_string(i));
    WriteBytes(HostDb(), damaged.back());
    HRESULT started = E_FAIL;
    int entries = -1;
    StartLoggedAndClose(&started, &entries);
    EXPECT_EQ(started, S_OK) << i;
  }
  EXPECT_TRUE(SameBytes(ReadBytes(Copy(0)), damaged[2]));
  EXPECT_TRUE(SameBytes(ReadBytes(Copy(1)), damaged[3]));
  EXPECT_TRUE(SameBytes(ReadBytes(Copy(2)), damaged[4]));
  EXPECT_FALSE(fs::exists(Copy(3)));
}

// Makes the medium take no more bytes while it lives (the size limit of this process).
class FullMedium {
 public:
  FullMedium() {
    getrlimit(RLIMIT_FSIZE, &previous_);
    handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit none = previous_;
    none.rlim_cur = 0;
    setrlimit(RLIMIT_FSIZE, &none);
  }
  ~FullMedium() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    signal(SIGXFSZ, handler_);
  }

 private:
  rlimit previous_{};
  sighandler_t handler_;
};

struct ReachCase {
  const char* name;
  std::string content;  // the shell's script, or the file's bytes when `raw`
  bool raw;
  bool readOnly;
  bool held;
  bool full;
};

TEST_F(LibraryDamageTest, AFileOnlyOutOfReachIsNeverMovedOrReplaced) {
  const std::string damaged = std::string(3000, 'x');
  const ReachCase cases[] = {
      {"an older library held by another program", OlderLibrary(), false, false, true, false},
      {"an older library marked read-only", OlderLibrary(), false, true, false, false},
      {"a damaged library marked read-only", damaged, true, true, false, false},
      {"an older library on a full medium", OlderLibrary(), false, false, false, true},
  };
  for (const ReachCase& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(HostDb());
    if (c.raw) WriteBytes(HostDb(), c.content);
    else Shell(HostDb(), c.content);
    if (c.readOnly) fs::permissions(HostDb(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                                    fs::perm_options::remove);
    const std::string before = ReadBytes(HostDb());
    bool opened = true;
    {
      std::unique_ptr<ProgramHoldingTheFile> holder;
      if (c.held) {
        holder = std::make_unique<ProgramHoldingTheFile>(HostDb());
        ASSERT_TRUE(holder->Holds());
      }
      std::unique_ptr<FullMedium> full;
      if (c.full) full = std::make_unique<FullMedium>();
      CSqlDatabase db(nullptr);
      db.SetBusyTimeout(100);
      opened = OpenWithRecovery(db, kPath, GetModuleHandleW(nullptr), 7, nullptr, nullptr);
    }
    EXPECT_FALSE(opened);
    EXPECT_TRUE(SameBytes(ReadBytes(HostDb()), before)) << "neither rebuilt nor replaced";
    EXPECT_FALSE(fs::exists(Copy(0))) << "not moved";
    fs::permissions(HostDb(), fs::perms::owner_write, fs::perm_options::add);
  }
}

}  // namespace
