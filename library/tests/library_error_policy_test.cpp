// The library's error policy: what it does for each SQLite result code, and the real failures
// behind the three answers: a bad statement fails only its call, a full database suspends
// writing but keeps the connection, and an I/O error (or a full medium whose file is gone)
// closes the connection at the owner's next unlock until the library is reopened.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <sqlite3.h>

#include "library_error_policy.h"
#include "library_fixture.h"

namespace {

using namespace libtest;
using Action = LibraryErrorAction;

struct CodeCase {
  int code;
  Action action;
};

TEST(LibraryErrorPolicy, EachResultCodeHasItsAction) {
  const CodeCase cases[] = {
      {0, Action::kLogOnly},                          // the library's own message
      {SQLITE_ERROR, Action::kLogOnly},               // a malformed query, a leftover table
      {SQLITE_INTERNAL, Action::kClose},
      {SQLITE_PERM, Action::kClose},
      {SQLITE_ABORT, Action::kLogOnly},
      {SQLITE_BUSY, Action::kLogOnly},
      {SQLITE_LOCKED, Action::kLogOnly},
      {SQLITE_NOMEM, Action::kSuspendWhileFileExists},
      {SQLITE_READONLY, Action::kClose},
      {SQLITE_INTERRUPT, Action::kLogOnly},
      {SQLITE_IOERR, Action::kClose},
      {SQLITE_CORRUPT, Action::kClose},
      {SQLITE_NOTFOUND, Action::kLogOnly},
      {SQLITE_FULL, Action::kSuspendWhileFileExists},
      {SQLITE_CANTOPEN, Action::kClose},
      {SQLITE_PROTOCOL, Action::kClose},
      {SQLITE_EMPTY, Action::kLogOnly},
      {SQLITE_SCHEMA, Action::kLogOnly},
      {SQLITE_TOOBIG, Action::kLogOnly},
      {SQLITE_CONSTRAINT, Action::kLogOnly},
      {SQLITE_MISMATCH, Action::kLogOnly},
      {SQLITE_MISUSE, Action::kLogOnly},
      {SQLITE_NOLFS, Action::kClose},
      {SQLITE_AUTH, Action::kLogOnly},
      {SQLITE_FORMAT, Action::kClose},
      {SQLITE_RANGE, Action::kLogOnly},
      {SQLITE_NOTADB, Action::kClose},
      {SQLITE_IOERR_WRITE, Action::kClose},           // extended codes count by their primary code
      {SQLITE_CONSTRAINT_UNIQUE, Action::kLogOnly},
      {-SQLITE_FULL, Action::kSuspendWhileFileExists},  // negated, as Exec returns them
      {99, Action::kClose},                           // anything unknown
  };
  for (const CodeCase& c : cases) EXPECT_EQ(ErrorActionFor(c.code), c.action) << "code " << c.code;
}

class LibraryErrorsTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    OpenLibrary();
    for (DWORD event : {LIBEVENT_SUSPENDED, LIBEVENT_CLOSED, LIBEVENT_OPENED}) events_.Listen(library_, event);
    Exec("insert into media values (NULL, '\\a.mp3', 1, 0, 0, 0, datetime('now'));");
  }
  MEDIALIBRARYSTATUS Status() {
    MEDIALIBRARYSTATUS status{sizeof status, 9, 9, 9};
    library_->GetStatus(&status);
    return status;
  }
  // Inserts rows until a write fails (bounded).
  void FillUntilAWriteFails() {
    const std::string row(2000, 'x');
    for (int i = 0; i < 2000; ++i) {
      if (Exec("insert into media values (NULL, '" + row + std::to_string(i) + "', 1, 0, 0, 0, 0);") < 0) return;
    }
    ADD_FAILURE() << "no write failed";
  }

  EventRecorder events_;
};

TEST_F(LibraryErrorsTest, ABadStatementFailsOnlyItsCall) {
  EXPECT_LT(Exec("select from where;"), 0);
  EXPECT_LT(Exec("create temporary table results (mid INTEGER PRIMARY KEY);"), 0) << "a leftover table";
  EXPECT_LT(Exec("insert into media values (NULL, '\\A.MP3', 1, 0, 0, 0, 0);"), 0) << "a source twice";
  const MEDIALIBRARYSTATUS status = Status();
  EXPECT_EQ(status.open, 1u);
  EXPECT_EQ(status.suspended, 0u);
  EXPECT_TRUE(events_.raised.empty());
  EXPECT_EQ(library_->MarkInvalid(u"\\a.mp3", FALSE), S_OK);
  EXPECT_EQ(Scalar(u"select valid from media where source='\\a.mp3';"), 0) << "writes go on";
}

TEST_F(LibraryErrorsTest, AFullDatabaseSuspendsWritingButKeepsReading) {
  Exec("PRAGMA max_page_count = " + std::to_string(Scalar(u"PRAGMA page_count;")) + ";");
  FillUntilAWriteFails();
  MEDIALIBRARYSTATUS status = Status();
  EXPECT_EQ(status.open, 1u);
  EXPECT_EQ(status.suspended, 1u);
  EXPECT_EQ(events_.Events(), std::vector<DWORD>{LIBEVENT_SUSPENDED});
  EXPECT_EQ(sink_.calls, std::vector<std::string>{"unavailable"});
  EXPECT_TRUE(library_->Mode() & LIBMODE_SUSPENDED);
  // Writers do nothing while suspended; readers go on.
  EXPECT_EQ(library_->MarkInvalid(u"\\a.mp3", FALSE), S_OK);
  EXPECT_EQ(Scalar(u"select valid from media where source='\\a.mp3';"), 1);
  FillUntilAWriteFails();
  EXPECT_EQ(events_.Events().size(), 1u) << "suspended once";
  // Reopening gives a fresh connection, without the limit.
  library_->Reopen();
  status = Status();
  EXPECT_EQ(status.open, 1u);
  EXPECT_EQ(status.suspended, 0u);
  EXPECT_EQ(events_.Events(), (std::vector<DWORD>{LIBEVENT_SUSPENDED, LIBEVENT_OPENED}));
  EXPECT_FALSE(library_->Mode() & LIBMODE_SUSPENDED);
  EXPECT_EQ(library_->MarkInvalid(u"\\a.mp3", FALSE), S_OK);
  EXPECT_EQ(Scalar(u"select valid from media where source='\\a.mp3';"), 0);
}

TEST_F(LibraryErrorsTest, AFullMediumWhoseFileIsGoneClosesTheConnection) {
  Exec("PRAGMA max_page_count = " + std::to_string(Scalar(u"PRAGMA page_count;")) + ";");
  fs::remove(HostDb());  // the card went, the open file stays usable to SQLite
  FillUntilAWriteFails();
  EXPECT_EQ(Status().open, 0u);
  EXPECT_EQ(events_.Events(), (std::vector<DWORD>{LIBEVENT_SUSPENDED, LIBEVENT_CLOSED}));
}

TEST_F(LibraryErrorsTest, AnIoErrorClosesTheConnectionUntilReopened) {
  library_->SetLogFile(u"\\Library\\errors.log");
  rlimit previous{};
  getrlimit(RLIMIT_FSIZE, &previous);
  sighandler_t handler = signal(SIGXFSZ, SIG_IGN);
  rlimit limited = previous;
  limited.rlim_cur = fs::file_size(HostDb()) + 4096;
  setrlimit(RLIMIT_FSIZE, &limited);
  FillUntilAWriteFails();
  setrlimit(RLIMIT_FSIZE, &previous);
  signal(SIGXFSZ, handler);

  EXPECT_EQ(Status().open, 0u) << "closed at the owner's unlock";
  EXPECT_EQ(events_.Events(), (std::vector<DWORD>{LIBEVENT_SUSPENDED, LIBEVENT_CLOSED}));
  EXPECT_EQ(library_->MarkValid(u"\\a.mp3", FALSE), E_FAIL) << "nothing works without a connection";
  EXPECT_EQ(library_->ItemExists(u"\\a.mp3"), E_FAIL);
  // Reopen brings it back, with maintenance, and tells the scan.
  sink_.calls.clear();
  library_->Reopen();
  EXPECT_EQ(Status().open, 1u);
  EXPECT_EQ(Status().suspended, 0u);
  EXPECT_EQ(library_->ItemExists(u"\\a.mp3"), S_OK);
  EXPECT_EQ(sink_.calls.front(), "opened");
  EXPECT_NE(Shell(HostDb(), "select count(*) from media;").find("locked"), std::string::npos)
      << "the shell is locked out again";
  CloseLibrary();
  EXPECT_EQ(ShellValue(HostDb(), "PRAGMA integrity_check;"), "ok");
  // The failure is in the log, as "<tick> <code>: message" then the statement.
  std::ifstream in(device_.Host("Library/errors.log"), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  const std::u16string text(reinterpret_cast<const char16_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  EXPECT_NE(text.find(u" 10: "), std::u16string::npos) << WideToUtf8(text);
  EXPECT_NE(text.find(u"\r\ninsert into media values"), std::u16string::npos);
}

}  // namespace
