// The maintenance every start runs on databases prepared with the sqlite3 shell: scan marks
// folded back to "seen", missing entries counting down, unused strings and blobs removed, and
// the worker purging an entry once it has been missing for four starts.
#include <gtest/gtest.h>

#include "library_fixture.h"

namespace {

using namespace libtest;

const std::string kCurrent = "insert into config values ('schema', 23); insert into config values ('version', 7);";

std::string Media(int mid, const char* source, int valid) {
  return "insert into media values (" + std::to_string(mid) + ", '" + source + "', " + std::to_string(valid) +
         ", 0, 0, 0, datetime('now'));";
}

struct MaintenanceCase {
  const char* name;
  std::string rows;         // shell SQL after the schema
  const char16_t* query;    // asked of the library after it opened
  const char* expected;
};

class LibraryMaintenanceTest : public LibraryTest {
 protected:
  void Prepare(const std::string& rows) {
    fs::remove(HostDb());
    Shell(HostDb(), ReadScript("schema_create.sql") + kCurrent + rows);
  }
  std::string Text(const std::u16string& sql) {
    CLibraryLock lock(library_);
    CSqlQuery query = library_->Database()->ExecQuery(sql.c_str());
    LPCWSTR text = query.Eof() ? nullptr : query.GetText(0);
    return text ? WideToUtf8(text) : std::string("(null)");
  }
  // Waits, bounded, until the query answers `expected`.
  bool Becomes(const std::u16string& sql, const std::string& expected) {
    for (int i = 0; i < 100; ++i) {
      if (Text(sql) == expected) return true;
      Sleep(50);
    }
    return false;
  }
};

TEST_F(LibraryMaintenanceTest, EachStartFoldsMarksAgesEntriesAndDropsUnusedData) {
  const MaintenanceCase cases[] = {
      {"marks of a scan count as seen", Media(1, "a", 2) + Media(2, "b", 5) + Media(3, "c", 1),
       u"select group_concat(valid) from (select valid from media order by mid);", "1,1,1"},
      {"missing entries count down", Media(1, "a", 0) + Media(2, "b", -1) + Media(3, "c", -2),
       u"select group_concat(valid) from (select valid from media order by mid);", "-1,-2,-3"},
      {"strings nobody uses go",
       "insert into str_data values (1, 'zero', 4, 0); insert into str_data values (2, 'one', 3, 1);"
       "insert into str_data values (3, 'less', 4, -2);",
       u"select group_concat(value) from str_data;", "one"},
      {"blobs nobody uses and empty blobs go",
       "insert into blob_data values (1, x'0102', 2, 11, 0); insert into blob_data values (2, x'', 0, 12, 1);"
       "insert into blob_data values (3, x'0304', 2, 13, 2);",
       u"select group_concat(blobid) from blob_data;", "3"},
      {"an entry's tags stay while it is only missing",
       Media(1, "a", 0) + "insert into int_tags values (1, 132074, 0, 5);",
       u"select count(*) from int_tags;", "1"},
  };
  for (const MaintenanceCase& c : cases) {
    SCOPED_TRACE(c.name);
    CloseLibrary();
    Prepare(c.rows);
    OpenLibrary();
    EXPECT_EQ(Text(c.query), c.expected);
  }
}

TEST_F(LibraryMaintenanceTest, AnEntryMissingForFourStartsIsPurgedWithItsTags) {
  Prepare(Media(1, "\\gone.mp3", 0) + Media(2, "\\here.mp3", 1) + "insert into int_tags values (1, 132074, 0, 5);" +
          "insert into int_tags values (2, 132074, 0, 6);");
  for (int start = 1; start <= 3; ++start) {
    OpenLibrary();
    EXPECT_EQ(Text(u"select valid from media where mid=1;"), std::to_string(-start)) << "start " << start;
    CloseLibrary();
  }
  OpenLibrary();
  EXPECT_TRUE(Becomes(u"select count(*) from media where mid=1;", "0")) << "the worker purges it";
  EXPECT_EQ(Text(u"select group_concat(value) from int_tags;"), "6") << "the tags went with it";
  EXPECT_EQ(Text(u"select valid from media where mid=2;"), "1");
}

TEST_F(LibraryMaintenanceTest, ThePurgeTakesAtMostFiveEntriesAPassButGetsThemAll) {
  std::string rows;
  for (int mid = 1; mid <= 12; ++mid) rows += Media(mid, ("\\old" + std::to_string(mid)).c_str(), -3);
  Prepare(rows + Media(13, "\\kept", -2));
  OpenLibrary();
  EXPECT_TRUE(Becomes(u"select group_concat(mid) from media;", "13"));
}

}  // namespace
