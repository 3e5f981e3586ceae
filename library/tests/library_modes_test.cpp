// The mode word: the batches its bits open and close, what the Local Content scan is told, the
// flush of the temporary tags (and their rollback while writing is suspended), the bulk batch
// committed by the analysis thread that Close waits for, and the compaction at exit.
#include <gtest/gtest.h>

#include "library_fixture.h"

namespace {

using namespace libtest;

class LibraryModesTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    OpenLibrary();
    sink_.calls.clear();
  }
  LONG Depth() {
    CLibraryLock lock(library_);
    return library_->Database()->TransactionDepth();
  }
  void AddEntry(const char* source) {
    Exec(std::string("insert into media values (NULL, '") + source + "', 1, 0, 0, 0, datetime('now'));");
  }
  // Rows of the file as another program sees them once the library is gone.
  std::string SourcesOnFile() {
    CloseLibrary();
    return ShellValue(HostDb(), "select group_concat(source) from (select source from media order by mid);");
  }
};

struct BatchCase {
  DWORD bit;
  std::vector<std::string> onSet;
  std::vector<std::string> onClear;
};

TEST_F(LibraryModesTest, BatchBitsOpenAndCommitATransaction) {
  const BatchCase cases[] = {
      {LIBMODE_HOLD, {"unavailable"}, {"available"}},
      {LIBMODE_PLAYLIST, {}, {}},
      {LIBMODE_SCAN, {}, {}},
  };
  for (const BatchCase& c : cases) {
    SCOPED_TRACE(c.bit);
    sink_.calls.clear();
    EXPECT_EQ(library_->ChangeMode(c.bit, 0), S_OK);
    EXPECT_EQ(library_->Mode(), c.bit);
    EXPECT_EQ(Depth(), 1);
    EXPECT_EQ(sink_.calls, c.onSet);
    sink_.calls.clear();
    EXPECT_EQ(library_->ChangeMode(c.bit, 0), S_OK) << "nothing changes";
    EXPECT_EQ(Depth(), 1);
    EXPECT_EQ(library_->ChangeMode(0, c.bit), S_OK);
    EXPECT_EQ(library_->Mode(), 0u);
    EXPECT_EQ(Depth(), 0);
    EXPECT_EQ(sink_.calls, c.onClear);
  }
}

TEST_F(LibraryModesTest, HoldAndSuspendedTellTheScanOnlyOnce) {
  library_->ChangeMode(LIBMODE_HOLD, 0);
  library_->ChangeMode(LIBMODE_SUSPENDED, 0);  // already unavailable through the hold
  library_->ChangeMode(0, LIBMODE_HOLD);       // still suspended
  library_->ChangeMode(0, LIBMODE_SUSPENDED);
  EXPECT_EQ(sink_.calls, (std::vector<std::string>{"unavailable", "available"}));
  EXPECT_EQ(Depth(), 0) << "suspending opens no batch";
}

TEST_F(LibraryModesTest, NestedBatchesCommitWhenTheLastEnds) {
  library_->ChangeMode(LIBMODE_HOLD | LIBMODE_SCAN, 0);
  EXPECT_EQ(Depth(), 2);
  AddEntry("\\one.mp3");
  library_->ChangeMode(0, LIBMODE_SCAN);
  EXPECT_EQ(Depth(), 1);
  AddEntry("\\two.mp3");
  EXPECT_EQ(library_->ChangeMode(0, LIBMODE_HOLD), S_OK);
  EXPECT_EQ(SourcesOnFile(), "\\one.mp3,\\two.mp3");
}

TEST_F(LibraryModesTest, ClearingTheTempTagBatchFlushesItIntoTheMainTables) {
  library_->ChangeMode(LIBMODE_TEMP_TAGS, 0);
  EXPECT_EQ(Depth(), 1);
  Exec("insert into temp_int_tags values (1, 132074, 0, 5); insert into temp_real_tags values (1, 206610, 0, 1.5);"
       "insert into temp_date_tags values (1, 264152, 0, '2007-01-01 00:00:00', '2007');"
       "insert into temp_guid_tags values (1, 412892, 0, x'00112233445566778899AABBCCDDEEFF');");
  EXPECT_EQ(Scalar(u"select count(*) from int_tags;"), 0) << "staged only";
  EXPECT_EQ(library_->ChangeMode(0, LIBMODE_TEMP_TAGS), S_OK);
  EXPECT_EQ(Depth(), 0);
  EXPECT_EQ(Scalar(u"select (select count(*) from int_tags) + (select count(*) from real_tags) + "
                   u"(select count(*) from date_tags) + (select count(*) from guid_tags);"),
            4);
  EXPECT_EQ(Scalar(u"select (select count(*) from temp_int_tags) + (select count(*) from temp_guid_tags);"), 0);
  EXPECT_EQ(Scalar(u"select value from int_tags where mid=1 and tag=132074;"), 5);
}

TEST_F(LibraryModesTest, TheTempTagBatchIsDiscardedWhenWritingWasSuspended) {
  library_->ChangeMode(LIBMODE_TEMP_TAGS, 0);
  AddEntry("\\staged.mp3");
  Exec("insert into temp_int_tags values (1, 132074, 0, 5);");
  // The database fills up inside the batch.
  Exec("PRAGMA max_page_count = " + std::to_string(Scalar(u"PRAGMA page_count;")) + ";");
  const std::string row(3000, 'x');
  for (int i = 0; i < 500 && !library_->WriteSuspended(); ++i) Exec("insert into media values (NULL, '" + row + std::to_string(i) + "', 1, 0, 0, 0, 0);");
  ASSERT_TRUE(library_->WriteSuspended());
  EXPECT_EQ(library_->ChangeMode(0, LIBMODE_TEMP_TAGS), E_FAIL);
  EXPECT_EQ(Depth(), 0);
  EXPECT_EQ(Scalar(u"select count(*) from int_tags;"), 0);
  EXPECT_EQ(Scalar(u"select count(*) from media where source='\\staged.mp3';"), 0) << "the batch rolled back";
  // While suspended no new batch begins and the bit is not taken.
  EXPECT_EQ(library_->ChangeMode(LIBMODE_TEMP_TAGS, 0), S_OK);
  EXPECT_FALSE(library_->Mode() & LIBMODE_TEMP_TAGS);
  EXPECT_EQ(Depth(), 0);
}

TEST_F(LibraryModesTest, TheBulkBatchIsCommittedByTheAnalysis) {
  library_->ChangeMode(LIBMODE_BULK, 0);
  for (int i = 0; i < 20; ++i) AddEntry(("\\bulk" + std::to_string(i)).c_str());
  EXPECT_EQ(library_->ChangeMode(0, LIBMODE_BULK), S_OK);
  bool done = false;
  for (int i = 0; i < 200 && !done; ++i) {
    done = !library_->IsBusy();
    if (!done) Sleep(20);
  }
  ASSERT_TRUE(done);
  EXPECT_EQ(library_->Mode(), 0u);
  EXPECT_EQ(Depth(), 0);
  EXPECT_EQ(Scalar(u"select count(*) from sqlite_master where name='sqlite_stat1';"), 1) << "analyzed";
  MEDIALIBRARYSTATUS status{sizeof status, 0, 0, 9};
  library_->GetStatus(&status);
  EXPECT_EQ(status.busy, 0u);
}

// Close ends the bulk batch itself; the analysis it starts has finished when Close returns, and
// the object can go at once.
TEST_F(LibraryModesTest, CloseWaitsForTheAnalysisItStarts) {
  library_->ChangeMode(LIBMODE_BULK, 0);
  for (int i = 0; i < 20; ++i) AddEntry(("\\bulk" + std::to_string(i)).c_str());
  library_->Close(FALSE);
  EXPECT_FALSE(library_->IsBusy());
  library_->Release();
  library_ = nullptr;
  EXPECT_EQ(ShellValue(HostDb(), "select count(*) from media;"), "20");
  EXPECT_EQ(ShellValue(HostDb(), "select count(*) from sqlite_master where name='sqlite_stat1';"), "1");
}

TEST_F(LibraryModesTest, WithoutAConnectionNothingHappens) {
  library_->Close(FALSE);
  library_->Release();
  library_ = new CMediaLibrary(GetModuleHandleW(nullptr), &sink_);
  EXPECT_EQ(library_->ChangeMode(LIBMODE_HOLD, 0), S_OK);
  EXPECT_EQ(library_->Mode(), 0u);
  EXPECT_TRUE(sink_.calls.empty());
}

// Free pages are handed back at exit in steps of at most 64, and only when there are more than 8.
TEST_F(LibraryModesTest, CloseCompactsOnlyWhenAskedAndWorthIt) {
  struct Case {
    int rows;
    BOOL compact;
    bool allowed;
  };
  const Case cases[] = {{4, TRUE, true}, {200, TRUE, true}, {200, FALSE, true}, {200, TRUE, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    OpenLibrary();
    library_->SetCompactAtExit(c.allowed);
    Exec("create table if not exists filler (data BLOB); delete from filler;");
    for (int i = 0; i < c.rows; ++i) Exec("insert into filler values (zeroblob(1900));");
    Exec("delete from filler;");
    const int freePages = Scalar(u"PRAGMA freelist_count;");
    ASSERT_GE(freePages, c.rows / 2);
    library_->Close(c.compact);
    library_->Release();
    library_ = nullptr;
    const bool vacuums = c.compact && c.allowed && freePages > 8;
    const int expected = vacuums ? freePages - (freePages < 64 ? freePages : 64) : freePages;
    EXPECT_EQ(ShellValue(HostDb(), "PRAGMA freelist_count;"), std::to_string(expected));
  }
}

}  // namespace
