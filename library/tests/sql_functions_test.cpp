// The library's SQL functions as queries call them: the case-blind text tests, the search
// expression, argument checks, the call counter, and the two trigger functions' hand-over.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include "library_fixture.h"
#include "sql_database.h"
#include "sql_functions.h"

namespace {

struct Host : ISqlFunctionHost {
  std::vector<LONG> removedBlobs;
  std::vector<DWORD> removedBlobSizes;
  DWORD listenedTag = 0;
  std::vector<std::u16string> removedValues;
  void OnBlobRemoved(LONG blobId, const void*, DWORD size, DWORD) override {
    removedBlobs.push_back(blobId);
    removedBlobSizes.push_back(size);
  }
  bool WantsValueRemoved(DWORD tag) override { return listenedTag != 0 && tag == listenedTag; }
  void OnValueRemoved(DWORD tag, DWORD instance, LPCWSTR value) override { removedValues.push_back(value); }
};

class SqlFunctionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(db_.Open(u"\\f.db"), 1);
    ASSERT_EQ(RegisterLibraryFunctions(db_, &host_), 0);
  }
  // The integer a one-value query gives, or the failure's code negated.
  int Ask(const std::u16string& sql) {
    CSqlQuery query = db_.ExecQuery(sql.c_str());
    if (query.Eof()) return -db_.LastErrorCode();
    return query.GetInt(0, -999);
  }

  zb::testing::TestDevice device_;
  Host host_;
  CSqlDatabase db_{nullptr};
};

struct TextCase {
  const char16_t* call;
  int result;
};

TEST_F(SqlFunctionsTest, TextTestsIgnoreCaseWithoutWildcards) {
  const TextCase cases[] = {
      {u"wlike('A.mp3', 'a.MP3')", 1},
      {u"wlike('a%', 'abc')", 0},
      {u"wlike('\u00c9t\u00e9', '\u00e9T\u00c9')", 1},
      {u"wcontains('Best of ABBA', 'abba')", 1},
      {u"wcontains('Best of ABBA', 'x')", 0},
      {u"wcontains('Best of ABBA', '')", 0},
      {u"wcontains('', 'a')", 0},
      {u"wcontainscase('Best of ABBA', 'ABBA')", 1},
      {u"wcontainscase('Best of ABBA', 'abba')", 0},
      {u"wstartswith('\\Storage Card\\Music\\x.mp3', '\\storage card\\')", 1},
      {u"wstartswith('\\Storage Card', '\\Storage Card\\Music')", 0},
      {u"wphrasequery('Dancing Queen', 'queen')", 1},
      {u"wphrasequery('Dancing Queen', 'queen -dancing')", 0},
      {u"WLIKE('x', 'X')", 1},
  };
  for (const TextCase& c : cases) EXPECT_EQ(Ask(std::u16string(u"select ") + c.call + u";"), c.result) << WideToUtf8(c.call);
}

TEST_F(SqlFunctionsTest, WrongArgumentsFailTheStatementClearly) {
  const char16_t* calls[] = {
      u"wlike('a')",
      u"wlike('a', 'b', 'c')",
      u"wcontains(NULL, 'a')",
      u"wstartswith('a', NULL)",
      u"wphrasequery('a', 5)",
      u"wphrasequery(5, 'a')",
      u"blobremoved(1, x'00', 1)",
      u"blobremoved('1', x'00', 1, 2)",
      u"stringremoved(1, 2)",
  };
  for (const char16_t* call : calls) {
    CSqlQuery query = db_.ExecQuery((std::u16string(u"select ") + call + u";").c_str());
    EXPECT_TRUE(query.Eof()) << WideToUtf8(call);
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(sqlite3_errmsg16(db_.Handle()))), u"invalid arguments")
        << WideToUtf8(call);
  }
}

TEST_F(SqlFunctionsTest, TheFourTextTestsCountTheirCalls) {
  ResetTextFunctionCalls();
  Ask(u"select wlike('a', 'a') + wcontains('a', 'a') + wcontainscase('a', 'a') + wstartswith('a', 'a');");
  Ask(u"select wphrasequery('a', 'a');");
  EXPECT_EQ(TextFunctionCalls(), 4);
  ResetTextFunctionCalls();
  EXPECT_EQ(TextFunctionCalls(), 0);
}

TEST_F(SqlFunctionsTest, RemovedBlobsAreHandedToTheLibrary) {
  db_.Exec("create table blob_data (blobid INTEGER PRIMARY KEY, value BLOB, bsize INTEGER, bcrc INTEGER);"
           "create trigger gone before delete on blob_data for each row begin "
           "select blobremoved(old.blobid, old.value, old.bsize, old.bcrc); end;"
           "insert into blob_data values (3, x'010203', 3, 99);"
           "insert into blob_data values (4, NULL, 0, 0);");
  EXPECT_EQ(db_.Exec("delete from blob_data;"), 2) << "a row without bytes stays deletable";
  EXPECT_EQ(host_.removedBlobs, (std::vector<LONG>{3, 4}));
  EXPECT_EQ(host_.removedBlobSizes, (std::vector<DWORD>{3, 0}));
}

TEST_F(SqlFunctionsTest, StringRemovedAsksAndThenTells) {
  EXPECT_EQ(Ask(u"select stringremoved(65541, 0, NULL);"), 0);
  host_.listenedTag = 65541;
  EXPECT_EQ(Ask(u"select stringremoved(65541, 0, NULL);"), 1);
  EXPECT_EQ(Ask(u"select stringremoved(65542, 0, NULL);"), 0);
  CSqlQuery told = db_.ExecQuery(u"select stringremoved(65541, 2, 'Abba');");
  ASSERT_FALSE(told.Eof());
  EXPECT_EQ(told.ColumnType(0), SQLITE_NULL);
  EXPECT_EQ(host_.removedValues, std::vector<std::u16string>{u"Abba"});
}

}  // namespace
