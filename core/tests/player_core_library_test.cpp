// The core's side of the media library, with an in-memory library standing in for the library
// object: the main-window timers that library events set, run on the test clock; the play
// statistics of a completed play by the local time of day; letting go of the library at the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <optional>
#include <thread>

#include "core/player/play_statistics.h"
#include "core/interface/player_events.h"
#include "media_item.h"
#include "plugin_device.h"
#include "tagids.h"
#include "testing/env_scope.h"
#include "testing/test_clock.h"

namespace zb::testing {
namespace {

constexpr DWORD kTagAutoRating = TAG_ID(1003, TAG_TYPE_INT);
constexpr DWORD kTagLastPlayed = TAG_ID(2009, TAG_TYPE_DATE);

class TestLibrary : public IMediaLibraryLink {
 public:
  ~TestLibrary() {
    for (auto& [path, item] : items) item->Release();
  }
  HRESULT GetStatus(MEDIA_LIBRARY_STATUS* out) override {
    if (!out || out->size != sizeof *out) return E_FAIL;
    *out = status;
    return S_OK;
  }
  HRESULT FindItem(LPCWSTR path, IMediaItem** item, DWORD) override {
    auto found = items.find(path ? path : u"");
    if (!item || found == items.end()) return E_FAIL;
    found->second->AddRef();
    *item = found->second;
    return S_OK;
  }
  void Reopen() override {
    ++reopens;
    status = afterReopen;
  }
  void RequestFlush(DWORD bits, DWORD mask) override { flushes.push_back({bits, mask}); }
  HRESULT Unadvise(int event, LibraryEventCallback callback, void*) override {
    if (callback == &CPlayerCore::OnLibraryEvent) unadvised.push_back(event);
    return S_OK;
  }
  void Release() override { ++releases; }

  IMediaItem* Add(const std::u16string& path) {
    CMediaItem* item = CMediaItem::Create();
    items[path] = item;
    return item;
  }

  MEDIA_LIBRARY_STATUS status = {sizeof(MEDIA_LIBRARY_STATUS), 1, 0, 0};
  MEDIA_LIBRARY_STATUS afterReopen = {sizeof(MEDIA_LIBRARY_STATUS), 1, 0, 0};
  int reopens = 0;
  int releases = 0;
  std::vector<int> unadvised;
  std::vector<std::pair<DWORD, DWORD>> flushes;
  std::map<std::u16string, IMediaItem*> items;
};

class CoreLibrary : public CoreTest {
 protected:
  TestLibrary library;
};

LONG Plays(IMediaItem* item, DWORD instance) {
  LONG count = 0;
  DWORD size = sizeof count;
  return SUCCEEDED(item->GetInstance(TAG_PLAY_COUNT, instance, &count, &size)) ? count : 0;
}

TEST_F(CoreLibrary, TheItemRefreshTimerTellsThePlugInsAndSetsTheRefreshEvent) {
  MakeCore(&library);
  HANDLE refreshed = core_->GetRefreshEvent();
  ASSERT_NE(refreshed, nullptr);
  EXPECT_EQ(WaitForSingleObject(refreshed, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  core_->OnTimer(CORE_TIMER_ITEM_REFRESH);
  EXPECT_EQ(TakeFixtureLog(), (std::vector<std::string>{"gen_plugin#0 hook 8202", "gen_plugin#1 hook 8202", "gen_repeat#0 hook 8202"}));
  EXPECT_EQ(WaitForSingleObject(refreshed, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(WaitForSingleObject(refreshed, 0), static_cast<DWORD>(WAIT_TIMEOUT));  // auto-reset
}

TEST_F(CoreLibrary, TheRetryTimerReopensALibraryThatIsNotUsable) {
  MakeCore(&library);
  const struct {
    const char* name;
    DWORD open;
    DWORD suspended;
    int reopens;
  } cases[] = {{"open", 1, 0, 0}, {"closed", 0, 0, 1}, {"write-suspended", 1, 1, 1}};
  for (const auto& c : cases) {
    library.status = {sizeof(MEDIA_LIBRARY_STATUS), c.open, c.suspended, 0};
    library.reopens = 0;
    core_->OnTimer(CORE_TIMER_LIBRARY_RETRY);
    EXPECT_EQ(library.reopens, c.reopens) << c.name;
  }
}

TEST_F(CoreLibrary, ACompletedPlayCountsInTheItemOfTheCurrentPath) {
  MakeCore(&library);
  IMediaItem* item = library.Add(u"\\Music\\a.mp3");
  library.Add(u"\\Music\\b.mp3");
  core_->SetCurrentPath(u"\\Music\\a.mp3");
  SYSTEMTIME before;
  GetSystemTime(&before);
  core_->RecordPlayCompleted();
  core_->RecordPlayCompleted();
  EXPECT_EQ(Plays(item, 0), 2);
  LONG rating = 0;
  EXPECT_EQ(item->GetInt(kTagAutoRating, &rating), S_OK);
  EXPECT_EQ(rating, 75);
  SYSTEMTIME played{};
  EXPECT_EQ(item->GetSystemTime(kTagLastPlayed, &played), S_OK);
  EXPECT_EQ(played.wYear, before.wYear);
  LONG slots = 0, days = 0;
  for (DWORD slot : {PLAYS_MORNING, PLAYS_AFTERNOON, PLAYS_EVENING, PLAYS_NIGHT}) slots += Plays(item, slot);
  for (DWORD day : {PLAYS_WEEKDAY, PLAYS_WEEKEND}) days += Plays(item, day);
  EXPECT_EQ(slots, 2);
  EXPECT_EQ(days, 2);
  EXPECT_EQ(Plays(library.items[u"\\Music\\b.mp3"], 0), 0);

  core_->SetCurrentPath(u"\\Music\\not in the library.mp3");
  core_->RecordPlayCompleted();  // nothing to count
  EXPECT_EQ(Plays(item, 0), 2);
}

class CoreLibraryTimers : public CoreLibrary {
 protected:
  void SetUp() override {
    TakeOverClock(3000000);
    MakeCore(&library);
    core_->SetCurrentPath(u"\\Music\\a.mp3");
  }
  void TearDown() override {
    CoreLibrary::TearDown();
    ReleaseClock();
  }
  // Moves the clock on and lets the main window take its due timers; the refreshes they made,
  // counted by what one version-2 plug-in heard.
  int AdvanceAndPump(uint64_t ms) {
    AdvanceClock(ms);
    PumpStandIns();
    const auto log = TakeFixtureLog();
    return static_cast<int>(std::count(log.begin(), log.end(), "gen_plugin#0 hook 8202"));
  }
};

TEST_F(CoreLibraryTimers, ChangesOfThePlayingItemWithin200msRefreshItOnce) {
  HANDLE refreshed = core_->GetRefreshEvent();
  const struct {
    uint64_t advance;
    const char16_t* changed;  // the item the library reports changed after the clock moved
    int refreshes;
  } steps[] = {
      {0, nullptr, 0},
      {0, u"\\MUSIC\\A.MP3", 0},  // the playing file, in any case
      {150, u"\\Music\\a.mp3", 0},  // again within 200 ms: the wait starts over
      {199, nullptr, 0},
      {1, nullptr, 1},
      {1000, nullptr, 0},  // the refresh killed its timer
      {0, u"\\Music\\b.mp3", 0},  // another file changes nothing
      {1000, nullptr, 0},
  };
  for (const auto& s : steps) {
    const int refreshes = AdvanceAndPump(s.advance);
    if (s.changed) CPlayerCore::OnLibraryEvent(LIBRARY_EVENT_ITEM_CHANGED, s.changed, core_.get());
    EXPECT_EQ(refreshes, s.refreshes) << "after " << s.advance << " ms";
    EXPECT_EQ(WaitForSingleObject(refreshed, 0), static_cast<DWORD>(s.refreshes ? WAIT_OBJECT_0 : WAIT_TIMEOUT))
        << "after " << s.advance << " ms";
  }
}

TEST_F(CoreLibraryTimers, AnEventOnALibraryThreadRefreshesOnTheMainWindowsThread) {
  std::thread([this] { CPlayerCore::OnLibraryEvent(LIBRARY_EVENT_ITEM_CHANGED, u"\\Music\\a.mp3", core_.get()); }).join();
  std::thread([this] { CPlayerCore::OnLibraryEvent(LIBRARY_EVENT_OTHER, u"\\Music\\a.mp3", core_.get()); }).join();
  EXPECT_EQ(AdvanceAndPump(199), 0);
  EXPECT_EQ(AdvanceAndPump(1), 1);
  EXPECT_EQ(AdvanceAndPump(5000), 0);  // event 9 set nothing
}

TEST_F(CoreLibraryTimers, AnUnavailableLibraryIsReopenedAfterASecondThenEveryFiveUntilItIsBack) {
  const MEDIA_LIBRARY_STATUS closed = {sizeof(MEDIA_LIBRARY_STATUS), 0, 0, 0};
  library.status = closed;
  library.afterReopen = closed;
  CPlayerCore::OnLibraryEvent(LIBRARY_EVENT_UNAVAILABLE, nullptr, core_.get());
  const struct {
    uint64_t advance;
    bool comesBack;  // the next reopen succeeds
    int reopens;
  } steps[] = {{999, false, 0}, {1, false, 1}, {4999, false, 1}, {1, true, 2}, {5000, false, 3}, {20000, false, 3}};
  for (const auto& s : steps) {
    AdvanceAndPump(s.advance);
    EXPECT_EQ(library.reopens, s.reopens) << "after " << s.advance << " ms";
    if (s.comesBack) library.afterReopen = {sizeof(MEDIA_LIBRARY_STATUS), 1, 0, 0};
  }
}

// Puts the device's local clock at a time of day, through the zone the host's calendar reads,
// and gives the host its zone back at the end. The tick clock has no calendar time to set.
class LocalTimeOfDay {
 public:
  explicit LocalTimeOfDay(long secondsOfDay) {
    long offset = secondsOfDay - static_cast<long>(std::time(nullptr) % 86400);  // local = UTC + offset
    if (offset > 43200) offset -= 86400;
    if (offset <= -43200) offset += 86400;
    // A POSIX zone names what to add to local time to reach UTC.
    const long west = -offset, size = std::labs(west);
    char zone[32];
    std::snprintf(zone, sizeof zone, "ZBT%c%ld:%02ld:%02ld", west < 0 ? '-' : '+', size / 3600, size / 60 % 60, size % 60);
    zone_.emplace("TZ", zone);
    tzset();
  }
  ~LocalTimeOfDay() {
    zone_.reset();
    tzset();
  }

 private:
  std::optional<EnvScope> zone_;
};

ULONGLONG FileTimeOf(const SYSTEMTIME& t) {
  FILETIME f{};
  SystemTimeToFileTime(&t, &f);
  return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
}

TEST_F(CoreLibrary, APlayCompletedAt0559CountsInTheNightOneAt0600InTheMorning) {
  MakeCore(&library);
  const struct {
    const char16_t* path;
    long secondsOfDay;
    WORD hour;
    DWORD slot;
  } cases[] = {
      {u"\\Music\\night.mp3", 5 * 3600 + 59 * 60 + 15, 5, PLAYS_NIGHT},
      {u"\\Music\\morning.mp3", 6 * 3600 + 15, 6, PLAYS_MORNING},
  };
  for (const auto& c : cases) {
    IMediaItem* item = library.Add(c.path);
    core_->SetCurrentPath(c.path);
    SYSTEMTIME before, after, local;
    {
      LocalTimeOfDay at(c.secondsOfDay);
      GetSystemTime(&before);
      core_->RecordPlayCompleted();
      GetSystemTime(&after);
      GetLocalTime(&local);
    }
    ASSERT_EQ(local.wHour, c.hour) << "the local clock was not set";
    const DWORD day = local.wDayOfWeek == 0 || local.wDayOfWeek == 6 ? PLAYS_WEEKEND : PLAYS_WEEKDAY;
    for (DWORD instance = 0; instance <= PLAYS_WEEKEND; ++instance)
      EXPECT_EQ(Plays(item, instance), instance == 0 || instance == c.slot || instance == day ? 1 : 0)
          << "instance " << instance << " at " << c.hour << ":xx";
    // The last-played date is the UTC time of the play, not the local one.
    SYSTEMTIME played{};
    ASSERT_EQ(item->GetSystemTime(kTagLastPlayed, &played), S_OK);
    before.wMilliseconds = 0;
    EXPECT_LE(FileTimeOf(before), FileTimeOf(played));
    EXPECT_LE(FileTimeOf(played), FileTimeOf(after));
  }
}

SYSTEMTIME Local(WORD dayOfWeek, WORD hour, WORD minute) {
  SYSTEMTIME t{};
  t.wYear = 2024;
  t.wMonth = 3;
  t.wDayOfWeek = dayOfWeek;
  t.wDay = 10;
  t.wHour = hour;
  t.wMinute = minute;
  return t;
}

TEST(PlayStatistics, TheTimeOfDayAndTheWeekdayPickTheirCounts) {
  const struct {
    WORD dayOfWeek;  // 0 Sunday
    WORD hour;
    WORD minute;
    DWORD slot;
    DWORD day;
  } cases[] = {
      {1, 5, 59, PLAYS_NIGHT, PLAYS_WEEKDAY},      {1, 6, 0, PLAYS_MORNING, PLAYS_WEEKDAY},
      {2, 11, 59, PLAYS_MORNING, PLAYS_WEEKDAY},   {3, 12, 0, PLAYS_AFTERNOON, PLAYS_WEEKDAY},
      {4, 16, 59, PLAYS_AFTERNOON, PLAYS_WEEKDAY}, {5, 17, 0, PLAYS_EVENING, PLAYS_WEEKDAY},
      {5, 19, 59, PLAYS_EVENING, PLAYS_WEEKDAY},   {6, 20, 0, PLAYS_NIGHT, PLAYS_WEEKEND},
      {0, 0, 0, PLAYS_NIGHT, PLAYS_WEEKEND},       {0, 6, 0, PLAYS_MORNING, PLAYS_WEEKEND},
  };
  for (const auto& c : cases) {
    CMediaItem* item = CMediaItem::Create();
    const SYSTEMTIME local = Local(c.dayOfWeek, c.hour, c.minute);
    UpdatePlayStatistics(item, local, local);
    SCOPED_TRACE(std::to_string(c.dayOfWeek) + " " + std::to_string(c.hour) + ":" + std::to_string(c.minute));
    for (DWORD instance = 1; instance <= 6; ++instance)
      EXPECT_EQ(Plays(item, instance), instance == c.slot || instance == c.day ? 1 : 0) << "instance " << instance;
    item->Release();
  }
}

TEST(PlayStatistics, TheFourthPlayRaisesTheAutomaticRating) {
  CMediaItem* item = CMediaItem::Create();
  const SYSTEMTIME now = Local(2, 9, 30);
  const LONG ratings[] = {75, 75, 75, 99, 99};
  for (LONG expected : ratings) {
    UpdatePlayStatistics(item, now, now);
    LONG rating = 0;
    item->GetInt(kTagAutoRating, &rating);
    EXPECT_EQ(rating, expected) << "after " << Plays(item, 0) << " plays";
  }
  EXPECT_EQ(Plays(item, PLAYS_MORNING), 5);
  item->Release();
}

TEST_F(CoreLibrary, TheEndOfTheCoreLetsGoOfTheLibrary) {
  MakeCore(&library);
  core_.reset();
  EXPECT_EQ(library.unadvised, (std::vector<int>{LIBRARY_EVENT_ITEM_CHANGED, LIBRARY_EVENT_UNAVAILABLE, LIBRARY_EVENT_OTHER}));
  EXPECT_EQ(library.releases, 1);
}

}  // namespace
}  // namespace zb::testing
