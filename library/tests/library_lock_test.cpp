// Exclusive locking: while the library has its database open, another program (the sqlite3
// shell) can neither read nor write it; once the library is closed it sees every committed row
// in a consistent file.
#include <gtest/gtest.h>

#include "library_fixture.h"

namespace {

using namespace libtest;

class LibraryLockTest : public LibraryTest {};

bool LockedOut(const fs::path& db, const std::string& sql) {
  return Shell(db, ".timeout 0\n" + sql).find("database is locked") != std::string::npos;
}

TEST_F(LibraryLockTest, TheShellIsLockedOutWhileTheLibraryIsOpen) {
  OpenLibrary();
  EXPECT_TRUE(LockedOut(HostDb(), "select count(*) from media;"));
  EXPECT_TRUE(LockedOut(HostDb(), "insert into media (source) values ('\\intruder.mp3');"));
  library_->ChangeMode(LIBMODE_SCAN, 0);
  Exec("insert into media values (NULL, '\\one.mp3', 1, 0, 0, 0, datetime('now'));");
  library_->ChangeMode(0, LIBMODE_SCAN);
  EXPECT_TRUE(LockedOut(HostDb(), "select count(*) from media;"));
  CloseLibrary();
  EXPECT_EQ(ShellValue(HostDb(), "select source from media;"), "\\one.mp3");
  EXPECT_EQ(ShellValue(HostDb(), "PRAGMA integrity_check;"), "ok");
}

// Reopened without maintenance the library writes nothing, and still keeps the file to itself.
TEST_F(LibraryLockTest, TheLockIsHeldFromTheOpenOnNotFromTheFirstWrite) {
  OpenLibrary();
  library_->Reopen();
  EXPECT_TRUE(LockedOut(HostDb(), "select count(*) from media;"));
}

TEST_F(LibraryLockTest, ABatchThatWasNotCommittedIsNotOnFileAfterAnAbruptClose) {
  OpenLibrary();
  Exec("insert into media values (NULL, '\\kept.mp3', 1, 0, 0, 0, datetime('now'));");
  library_->ChangeMode(LIBMODE_HOLD, 0);
  Exec("insert into media values (NULL, '\\pending.mp3', 1, 0, 0, 0, datetime('now'));");
  // The connection goes without the batch being ended (as when a fatal error closes it).
  {
    CLibraryLock lock(library_);
    library_->Database()->Close();
  }
  EXPECT_EQ(ShellValue(HostDb(), "select group_concat(source) from media;"), "\\kept.mp3");
  EXPECT_EQ(ShellValue(HostDb(), "PRAGMA integrity_check;"), "ok");
}

}  // namespace
