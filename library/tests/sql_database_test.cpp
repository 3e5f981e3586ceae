// The SQLite layer on its own: nested transactions and what a rollback inside them leaves,
// one-shot execution and its results, statements shared with their queries, blobs, and every
// failure reaching the sink with SQLite's code.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include "library_fixture.h"
#include "sql_database.h"

namespace {

using libtest::fs::path;

struct RecordingErrors : ISqlErrorSink {
  std::vector<int> codes;
  std::vector<std::u16string> sql;
  void ReportError(int code, LPCWSTR, LPCWSTR sqlText) override {
    codes.push_back(code);
    sql.push_back(sqlText ? sqlText : u"");
  }
  void ReportErrorA(int code, const char*, const char* sqlText) override {
    codes.push_back(code);
    sql.push_back(Utf8ToWide(sqlText ? sqlText : ""));
  }
};

class SqlDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(db_.Open(u"\\test.db"), 1);
    ASSERT_GE(db_.Exec("create table t (id INTEGER PRIMARY KEY, name VARCHAR);"), 0);
  }
  // What another connection sees once this one is closed.
  std::string Names() {
    db_.Close();
    return libtest::ShellValue(device_.Host("test.db"), "select group_concat(name, ',') from (select name from t order by id);");
  }
  bool InSqliteTransaction() { return !sqlite3_get_autocommit(db_.Handle()); }

  zb::testing::TestDevice device_;
  RecordingErrors errors_;
  CSqlDatabase db_{&errors_};
};

TEST_F(SqlDatabaseTest, OnlyTheOutermostCommitCommits) {
  EXPECT_EQ(db_.BeginTransaction(), 0);
  EXPECT_EQ(db_.BeginTransaction(), 2);
  db_.Exec("insert into t (name) values ('a');");
  EXPECT_EQ(db_.CommitTransaction(), 0);
  EXPECT_TRUE(InSqliteTransaction()) << "an inner commit must not end SQLite's transaction";
  EXPECT_GE(db_.CommitTransaction(), 0);
  EXPECT_FALSE(InSqliteTransaction());
  EXPECT_EQ(Names(), "a");
}

TEST_F(SqlDatabaseTest, AnInnerRollbackUndoesAllAndTheOuterCommitReportsIt) {
  db_.BeginTransaction();
  db_.Exec("insert into t (name) values ('outer before');");
  db_.BeginTransaction();
  db_.Exec("insert into t (name) values ('inner');");
  EXPECT_GE(db_.RollbackTransaction(), 0);
  // The outer level goes on; its work must not autocommit behind the failed unit's back.
  db_.Exec("insert into t (name) values ('outer after');");
  EXPECT_TRUE(InSqliteTransaction());
  EXPECT_LT(db_.CommitTransaction(), 0) << "the outer commit must report that its work was rolled back";
  EXPECT_FALSE(InSqliteTransaction());
  // The next outermost begin starts afresh.
  db_.BeginTransaction();
  db_.Exec("insert into t (name) values ('next');");
  EXPECT_GE(db_.CommitTransaction(), 0);
  EXPECT_EQ(Names(), "next");
}

TEST_F(SqlDatabaseTest, ARollbackTwoLevelsDownLeavesTheMiddleCommitSilent) {
  db_.BeginTransaction();
  db_.BeginTransaction();
  db_.BeginTransaction();
  db_.Exec("insert into t (name) values ('x');");
  db_.RollbackTransaction();
  EXPECT_EQ(db_.TransactionDepth(), 2);
  EXPECT_EQ(db_.CommitTransaction(), 0);
  EXPECT_LT(db_.CommitTransaction(), 0);
  EXPECT_EQ(db_.TransactionDepth(), 0);
  EXPECT_EQ(Names(), "");
}

TEST_F(SqlDatabaseTest, AnOutermostRollbackIsAPlainRollback) {
  db_.BeginTransaction();
  db_.Exec("insert into t (name) values ('x');");
  EXPECT_GE(db_.RollbackTransaction(), 0);
  EXPECT_FALSE(InSqliteTransaction());
  EXPECT_TRUE(errors_.codes.empty());
  EXPECT_EQ(Names(), "");
}

TEST_F(SqlDatabaseTest, ACommitWithoutABeginChangesNothing) {
  EXPECT_EQ(db_.CommitTransaction(), 0);
  EXPECT_EQ(db_.TransactionDepth(), 0);
  EXPECT_EQ(db_.BeginTransaction(), 0);
  EXPECT_TRUE(InSqliteTransaction());
  db_.CommitTransaction();
}

TEST_F(SqlDatabaseTest, ExecGivesTheChangedRowsOrTheNegatedCode) {
  EXPECT_EQ(db_.Exec("insert into t (name) values ('a'); insert into t (name) values ('b');"), 1);
  EXPECT_EQ(db_.Exec("update t set name = 'c';"), 2);
  EXPECT_EQ(db_.Exec("select nonsense from nowhere;"), -SQLITE_ERROR);
  ASSERT_EQ(errors_.codes, std::vector<int>{SQLITE_ERROR});
  EXPECT_EQ(errors_.sql.back(), u"select nonsense from nowhere;");
  EXPECT_EQ(db_.LastErrorCode(), SQLITE_ERROR);
}

TEST_F(SqlDatabaseTest, ExecScalarReadsTheFirstColumnAsANumber) {
  db_.Exec("insert into t (id, name) values (1, '12abc'); insert into t (id, name) values (2, NULL);");
  EXPECT_EQ(db_.ExecScalar(u"select name from t where id=1;"), 12);
  EXPECT_EQ(db_.ExecScalar(u"select name from t where id=2;"), 0) << "NULL reads as 0";
  EXPECT_EQ(db_.ExecScalar(u"select name from t where id=3;"), -1) << "no row";
  EXPECT_EQ(db_.ExecScalar(u"select -5;"), -5);
  EXPECT_EQ(db_.ExecScalar(u"select broken syntax"), -1);
  EXPECT_EQ(errors_.codes, std::vector<int>{SQLITE_ERROR});
}

TEST_F(SqlDatabaseTest, TableExistsLooksInTheSchema) {
  EXPECT_TRUE(db_.TableExists(u"t"));
  EXPECT_FALSE(db_.TableExists(u"missing"));
}

TEST_F(SqlDatabaseTest, AStatementIsReusedWithNewBindsAndSharedWithItsQuery) {
  CSqlStatement insert = db_.CompileStatement(u"insert into t (name) values (?);");
  ASSERT_TRUE(insert.IsValid());
  for (const char16_t* name : {u"a", u"b\u00e9", u"c"}) {
    EXPECT_EQ(insert.BindText(1, name), 0);
    EXPECT_EQ(insert.Execute(), 1);
  }
  EXPECT_EQ(db_.LastInsertRowId(), 3u);
  CSqlStatement select = db_.CompileStatement(u"select id, name from t where id >= ? order by id;");
  select.BindInt(1, 2);
  CSqlQuery rows = select.ExecQuery();
  std::u16string seen;
  for (; !rows.Eof(); rows.NextRow()) seen += rows.GetText(1);
  EXPECT_EQ(seen, u"b\u00e9c");
  rows.Finalize();
  // The statement outlives the query and runs again.
  select.BindInt(1, 3);
  CSqlQuery again = select.ExecQuery();
  ASSERT_FALSE(again.Eof());
  EXPECT_EQ(again.GetInt(0, -1), 3);
  EXPECT_EQ(again.ColumnCount(), 2);
  EXPECT_EQ(again.GetText(5), nullptr) << "a column out of range";
  EXPECT_EQ(again.GetInt(5, 77), 77);
  EXPECT_EQ(again.ColumnType(5), SQLITE_NULL);
}

TEST_F(SqlDatabaseTest, AStatementOutlivesTheConnectionsClose) {
  CSqlStatement insert = db_.CompileStatement(u"insert into t (name) values ('late');");
  db_.Close();
  EXPECT_TRUE(insert.IsValid());  // finalized when it goes; no crash, no leak under ASan
}

TEST_F(SqlDatabaseTest, FailuresOfStatementsReachTheSinkWithTheirCodes) {
  CSqlStatement bad = db_.CompileStatement(u"insert into nowhere values (1);");
  EXPECT_FALSE(bad.IsValid());
  EXPECT_EQ(bad.Execute(), -1);
  EXPECT_NE(bad.BindInt(1, 1), 0);
  CSqlStatement insert = db_.CompileStatement(u"insert into t (id, name) values (?, 'x');");
  EXPECT_EQ(insert.BindInt(3, 1), SQLITE_RANGE);
  insert.BindInt(1, 1);
  EXPECT_EQ(insert.Execute(), 1);
  EXPECT_EQ(insert.Execute(), -SQLITE_CONSTRAINT) << "the same key twice";
  EXPECT_EQ(errors_.codes, (std::vector<int>{SQLITE_ERROR, SQLITE_MISUSE, SQLITE_RANGE, SQLITE_CONSTRAINT}));
}

TEST_F(SqlDatabaseTest, ABlobIsReadAndWrittenInPlaceAndNeverGrows) {
  db_.Exec("create table b (id INTEGER PRIMARY KEY, value BLOB); insert into b values (7, zeroblob(4));");
  std::unique_ptr<CSqlBlob> blob = db_.OpenBlob("b", "value", 7, true);
  ASSERT_NE(blob, nullptr);
  EXPECT_EQ(blob->Size(), 4);
  EXPECT_EQ(blob->RowId(), 7);
  EXPECT_EQ(blob->Write("abcd", 4, 0), 4);
  char out[8] = {};
  EXPECT_EQ(blob->Read(out, 2, 1), 2);
  EXPECT_EQ(std::string(out), "bc");
  EXPECT_EQ(blob->Write("xyz", 3, 2), 0) << "past the end";
  EXPECT_EQ(blob->Read(out, 5, 0), 0);
  blob->Close();
  EXPECT_EQ(blob->Size(), 0);
  EXPECT_EQ(db_.OpenBlob("b", "value", 8, false), nullptr);
  EXPECT_EQ(errors_.codes.size(), 3u);
}

TEST_F(SqlDatabaseTest, NothingRunsWithoutAConnection) {
  db_.Close();
  EXPECT_LT(db_.Exec("select 1;"), 0);
  EXPECT_LT(db_.ExecDML(u"select 1;"), 0);
  EXPECT_TRUE(db_.ExecQuery(u"select 1;").Eof());
  EXPECT_EQ(db_.ExecScalar(u"select 1;"), -1);
  EXPECT_FALSE(db_.CompileStatement(u"select 1;").IsValid());
  EXPECT_EQ(db_.CreateFunction(u"f", 1, SQLITE_UTF16, nullptr, nullptr), -1);
}

TEST(SqlDatabaseOpen, AFolderThatIsMissingFailsWithThePath) {
  zb::testing::TestDevice device;
  RecordingErrors errors;
  CSqlDatabase db(&errors);
  EXPECT_EQ(db.Open(u"\\no such folder\\x.db"), 0);
  EXPECT_FALSE(db.IsOpen());
  ASSERT_EQ(errors.codes, std::vector<int>{SQLITE_CANTOPEN});
  EXPECT_EQ(errors.sql.back(), u"\\no such folder\\x.db");
}

TEST(SqlDatabaseOpen, ADevicePathIsFoundWhateverItsCase) {
  zb::testing::TestDevice device;
  libtest::fs::create_directories(device.Host("Music"));
  libtest::Shell(device.Host("Music/Lib.db"), "create table t(x); insert into t values (42);");
  CSqlDatabase db(nullptr);
  ASSERT_EQ(db.Open(u"\\MUSIC\\lib.DB"), 1);
  EXPECT_EQ(db.ExecScalar(u"select x from t;"), 42);
}

TEST(SqlQuoting, ApostrophesAreDoubled) {
  EXPECT_EQ(EscapeQuotes(u"it's 'quoted'"), u"it''s ''quoted''");
  EXPECT_EQ(EscapeQuotes(nullptr), u"");
}

}  // namespace
