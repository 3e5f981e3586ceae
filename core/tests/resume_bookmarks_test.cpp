// Resume entries and numbered bookmarks of the item now open: what Stop keeps from the last
// now-playing refresh, the next free bookmark number, the bookmark texts, deleting, replacing and
// pruning, and that every change is in "bookmarks.dat" at once.
#include "transport_fixture.h"

namespace zb::testing {
namespace {

class ResumeEntries : public TransportTest {
 protected:
  void SetUp() override {
    TransportTest::SetUp();
    Script().lengths[kSong] = 120000;
    AddItems({kSong});
  }
  // The list as the file on the device has it.
  LONG InFile(const char16_t* key) {
    CBookmarkList fromFile(nullptr, u"bookmarks.dat");
    fromFile.ReadBookmarksFile();
    return fromFile.GetPosition(key);
  }
  static constexpr const char16_t* kSong = u"\\Music\\song.fake";
};

TEST_F(ResumeEntries, StopKeepsThePositionOfTheLastRefreshPastSevenAndAHalfSeconds) {
  const struct {
    const char* what;
    int refreshedAt;  // -1: no refresh since the item opened
    LONG before;
    LONG after;
  } cases[] = {
      {"a refresh at 42 s stores 42 s", 42000, 9000, 42000},
      {"no refresh removes the entry", -1, 9000, -1},
      {"a refresh at 5 s keeps the entry", 5000, 9000, 9000},
      {"a refresh at 7.5 s keeps the entry", 7500, 9000, 9000},
      {"a refresh at 7.501 s stores it", 7501, 9000, 7501},
  };
  for (const auto& c : cases) {
    core_->GetBookmarkList()->Set(kSong, c.before);
    core_->GetBookmarkList()->Save();
    GetSettings()->autoResume = 0;  // every case starts at 0
    core_->Play(FALSE);
    if (c.refreshedAt >= 0) PlayFor(static_cast<uint64_t>(c.refreshedAt));
    AdvanceClock(3000);  // played on after the refresh: Stop does not read the decoder again
    core_->Stop(TRUE);
    EXPECT_EQ(Resume(kSong), c.after) << c.what;
    EXPECT_EQ(InFile(kSong), c.after) << c.what;
  }
}

TEST_F(ResumeEntries, AnItemThatCannotSeekKeepsNoResumeEntry) {
  ScriptedRecord().flags = 0;
  core_->GetBookmarkList()->Set(kSong, 9000);
  core_->Play(FALSE);
  PlayFor(42000);
  core_->Stop(TRUE);
  EXPECT_EQ(Resume(kSong), 9000);
}

TEST_F(ResumeEntries, TheRefreshPublishesPositionAndLength) {
  EXPECT_EQ(core_->GetLastPosition(), -1);
  core_->Play(FALSE);
  PlayFor(42000);
  EXPECT_EQ(core_->GetLastPosition(), 42000);
  EXPECT_EQ(WindowWord(MAIN_WORD_POSITION), 42000);
  EXPECT_EQ(WindowWord(MAIN_WORD_LENGTH), 120000);
  core_->Stop(FALSE);
  // Nothing open: the words say so, and the last position stays.
  core_->RefreshNowPlaying();
  EXPECT_EQ(WindowWord(MAIN_WORD_LENGTH), -1);
  EXPECT_EQ(WindowWord(MAIN_WORD_POSITION), 0);
  EXPECT_EQ(core_->GetLastPosition(), 42000);
}

TEST_F(ResumeEntries, ThePlayResumesTheStoredPosition) {
  GetSettings()->autoResume = 2;
  core_->Play(FALSE);
  PlayFor(42000);
  core_->Stop(TRUE);
  core_->Play(FALSE);
  EXPECT_EQ(Script().startSeen, 42000);
  EXPECT_EQ(core_->GetOutputTime(), 42000);
  core_->ForgetResumePosition();
  EXPECT_EQ(InFile(kSong), -1);
}

TEST_F(ResumeEntries, NumberedBookmarksTakeTheNextFreeNumberAndTheLastPosition) {
  CBookmarkList* list = core_->GetBookmarkList();
  list->Set(u"*1*\\Music\\song.fake", 1000);
  list->Set(u"*2*\\Music\\song.fake", 2000);
  list->Set(u"*3*\\Music\\other.fake", 3000);  // another path's number does not count
  core_->Play(FALSE);
  core_->AddBookmarkForCurrent();  // no refresh yet: at 0
  PlayFor(42000);
  core_->AddBookmarkForCurrent();
  EXPECT_EQ(InFile(u"*3*\\Music\\song.fake"), 0);
  EXPECT_EQ(InFile(u"*4*\\Music\\song.fake"), 42000);

  // The texts are the paths; the other path's bookmark sits between.
  const struct {
    int index;
    const char16_t* text;
    LONG position;
  } texts[] = {{0, kSong, 1000}, {1, kSong, 2000}, {2, u"\\Music\\other.fake", 3000},
               {3, kSong, 0},    {4, kSong, 42000}, {5, u"", -7}};
  for (const auto& t : texts) {
    LONG position = -7;
    EXPECT_EQ(core_->GetBookmarkText(t.index, &position), t.text) << t.index;
    EXPECT_EQ(position, t.position) << t.index;
  }

  // Deleting the first frees number 1, which the next bookmark takes.
  core_->DeleteBookmark(0);
  EXPECT_EQ(InFile(u"*1*\\Music\\song.fake"), -1);
  PlayFor(1000);
  core_->AddBookmarkForCurrent();
  EXPECT_EQ(InFile(u"*1*\\Music\\song.fake"), 43000);
  core_->DeleteBookmark(99);  // none: nothing happens
  EXPECT_EQ(core_->GetBookmarkText(0, nullptr), kSong);
}

TEST_F(ResumeEntries, ReplacingDropsTheFirstBookmarkOfThePathAndAddsANewOne) {
  CBookmarkList* list = core_->GetBookmarkList();
  list->Set(u"*1*\\Music\\other.fake", 1000);
  list->Set(u"*1*\\Music\\song.fake", 2000);
  core_->Play(FALSE);
  PlayFor(30000);
  core_->ReplaceBookmarkForCurrent();
  EXPECT_EQ(InFile(u"*1*\\Music\\other.fake"), 1000);
  EXPECT_EQ(InFile(u"*1*\\Music\\song.fake"), 30000);
  EXPECT_EQ(core_->GetBookmarkText(1, nullptr), kSong);
  EXPECT_TRUE(core_->GetBookmarkText(2, nullptr).empty());
}

TEST_F(ResumeEntries, PruningKeepsReachableFilesAndShares) {
  CreateDirectoryW(u"\\Music", nullptr);
  HANDLE file = CreateFileW(u"\\Music\\here.fake", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(file);
  CBookmarkList* list = core_->GetBookmarkList();
  list->Set(u"*1*\\Music\\here.fake", 1);
  list->Set(u"*1*\\Music\\gone.fake", 2);
  list->Set(u"*1*\\\\server\\share\\far.fake", 3);
  list->Set(u"*broken", 4);
  list->Set(u"\\Music\\gone.fake", 5);  // a resume entry is no bookmark: never pruned
  core_->PruneBookmarks(TRUE);
  EXPECT_EQ(InFile(u"*1*\\Music\\here.fake"), 1);
  EXPECT_EQ(InFile(u"*1*\\Music\\gone.fake"), -1);
  EXPECT_EQ(InFile(u"*1*\\\\server\\share\\far.fake"), 3);
  EXPECT_EQ(InFile(u"*broken"), -1);
  EXPECT_EQ(InFile(u"\\Music\\gone.fake"), 5);
  core_->PruneBookmarks(FALSE);
  EXPECT_TRUE(core_->GetBookmarkText(0, nullptr).empty());
  EXPECT_EQ(InFile(u"*1*\\Music\\here.fake"), -1);
  EXPECT_EQ(InFile(u"\\Music\\gone.fake"), 5);
}

}  // namespace
}  // namespace zb::testing
