// Moving the library: to another folder of the device and onto a storage card, over a stale
// file, onto its own path written in another case, without an open database, and a move whose
// copy fails half way, which leaves the library where it was. The moving window's bar follows
// the reports (the common controls are stood in for by recording classes).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include "library_fixture.h"
#include "library_move_window.h"

namespace {

using namespace libtest;

struct Progress {
  std::vector<int> reports;
  static void Record(int percent, void* self) { static_cast<Progress*>(self)->reports.push_back(percent); }
  bool Rises() const { return std::is_sorted(reports.begin(), reports.end()); }
  bool Has(int percent) const { return std::find(reports.begin(), reports.end(), percent) != reports.end(); }
};

class LibraryMoveTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    OpenLibrary();
    events_.Listen(library_, LIBEVENT_OPENED);
    library_->ChangeMode(LIBMODE_SCAN, 0);
    for (int i = 0; i < rows_; ++i) {
      Exec("insert into media values (NULL, '\\Storage Card\\t" + std::to_string(i) + ".mp3', 1, " +
           std::to_string(i) + ", 0, 0, datetime('now'));");
    }
    library_->ChangeMode(0, LIBMODE_SCAN);
  }
  // The library, open where it says it is, with every row.
  void ExpectWholeAt(const std::u16string& path) {
    EXPECT_EQ(library_->DatabasePath(), path);
    MEDIALIBRARYSTATUS status{sizeof status, 0, 9, 9};
    library_->GetStatus(&status);
    EXPECT_EQ(status.open, 1u);
    EXPECT_EQ(status.suspended, 0u);
    EXPECT_EQ(Scalar(u"select count(*) from media where source like '\\Storage Card\\t%';"), rows_);
    EXPECT_EQ(Scalar(u"select count(*) from (select 1 from pragma_integrity_check where integrity_check='ok');"), 1);
  }

  int rows_ = 50;
  EventRecorder events_;
  Progress progress_;
};

struct MoveCase {
  const char* name;
  const char16_t* target;
  const char* hostFolder;  // relative to the device root, or "card:" + folder on the storage card
  bool staleFileThere;     // an old file at the target forces the copy
};

TEST_F(LibraryMoveTest, TheDatabaseMovesAndOpensAtItsNewPlace) {
  const MoveCase cases[] = {
      {"another folder", u"\\Moved\\metadata.db", "Moved", false},
      {"a storage card", u"\\Storage Card\\Library\\metadata.db", "card:Library", false},
      {"over a stale file", u"\\Other\\metadata.db", "Other", true},
      {"onto the card over a stale file", u"\\Storage Card\\Old\\metadata.db", "card:Old", true},
  };
  std::u16string from = kPath;
  fs::path fromHost = HostDb();
  for (const MoveCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = c.hostFolder;
    const fs::path hostFolder = folder.rfind("card:", 0) == 0 ? device_.card() / folder.substr(5) : device_.Host(folder);
    fs::create_directories(hostFolder);
    const fs::path target = hostFolder / "metadata.db";
    if (c.staleFileThere) std::ofstream(target) << "an old library";
    progress_.reports.clear();
    events_.raised.clear();

    EXPECT_EQ(library_->MoveLibrary(c.target, Progress::Record, &progress_), 1);
    ExpectWholeAt(c.target);
    EXPECT_FALSE(fs::exists(fromHost)) << "the source went";
    EXPECT_FALSE(fs::exists(fromHost.string() + "-journal"));
    EXPECT_FALSE(fs::exists(target.string() + ".moving"));
    EXPECT_TRUE(progress_.Rises());
    for (int step : {0, 5, 10, 80, 90, 100}) EXPECT_TRUE(progress_.Has(step)) << step;
    EXPECT_EQ(progress_.reports.back(), 100);
    EXPECT_EQ(events_.Events(), std::vector<DWORD>{LIBEVENT_OPENED});
    EXPECT_NE(Shell(target, ".timeout 0\nselect count(*) from media;").find("locked"), std::string::npos);
    from = c.target;
    fromHost = target;
  }
  CloseLibrary();
  EXPECT_EQ(ShellValue(fromHost, "select count(*) from media;"), std::to_string(rows_));
}

TEST_F(LibraryMoveTest, OpenBatchesAreEndedAndTakenUpAgain) {
  library_->ChangeMode(LIBMODE_HOLD, 0);
  Exec("insert into media values (NULL, '\\held.mp3', 1, 0, 0, 0, datetime('now'));");
  fs::create_directories(device_.Host("Moved"));
  EXPECT_EQ(library_->MoveLibrary(u"\\Moved\\metadata.db", nullptr, nullptr), 1);
  EXPECT_EQ(library_->Mode(), DWORD(LIBMODE_HOLD));
  EXPECT_EQ(library_->ItemExists(u"\\held.mp3"), S_OK) << "the batch was committed before the move";
  library_->ChangeMode(0, LIBMODE_HOLD);
}

TEST_F(LibraryMoveTest, ItsOwnPathInAnotherCaseIsNoMove) {
  EXPECT_EQ(library_->MoveLibrary(u"\\LIBRARY\\Metadata.DB", Progress::Record, &progress_), 1);
  EXPECT_EQ(progress_.reports, (std::vector<int>{0, 100}));
  ExpectWholeAt(kPath);
  EXPECT_TRUE(fs::exists(HostDb()));
  EXPECT_TRUE(events_.raised.empty());
}

TEST_F(LibraryMoveTest, WithoutAPathNothingHappens) {
  EXPECT_EQ(library_->MoveLibrary(nullptr, Progress::Record, &progress_), 0);
  EXPECT_TRUE(progress_.reports.empty());
  ExpectWholeAt(kPath);
}

// The copy runs out of room half way: the source stays whole, the library opens where it was,
// and nothing half-written is left at the target.
TEST_F(LibraryMoveTest, AMoveThatFailsHalfWayLeavesTheLibraryWhereItWas) {
  library_->ChangeMode(LIBMODE_SCAN, 0);
  const std::string padding(1500, 'p');
  for (int i = 0; i < 600; ++i) Exec("insert into str_data values (NULL, '" + padding + std::to_string(i) + "', 1500, 1);");
  library_->ChangeMode(0, LIBMODE_SCAN);
  const uintmax_t size = fs::file_size(HostDb());
  ASSERT_GT(size, 600000u);
  fs::create_directories(device_.Host("Full"));
  const fs::path target = device_.Host("Full/metadata.db");
  std::ofstream(target) << "an old library";  // the rename fails, the copy runs

  rlimit previous{};
  getrlimit(RLIMIT_FSIZE, &previous);
  sighandler_t handler = signal(SIGXFSZ, SIG_IGN);
  rlimit limited = previous;
  limited.rlim_cur = size / 2;
  setrlimit(RLIMIT_FSIZE, &limited);
  const int moved = library_->MoveLibrary(u"\\Full\\metadata.db", Progress::Record, &progress_);
  setrlimit(RLIMIT_FSIZE, &previous);
  signal(SIGXFSZ, handler);

  EXPECT_EQ(moved, 0);
  ExpectWholeAt(kPath);
  EXPECT_EQ(Scalar(u"select count(*) from str_data;"), 600);
  EXPECT_EQ(progress_.reports.back(), 100);
  EXPECT_TRUE(events_.raised.empty()) << "no new place was opened";
  EXPECT_FALSE(fs::exists(device_.Host("Full/metadata.db.moving")));
  std::ifstream stale(target);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stale), {}), "an old library") << "the old file is untouched";
  CloseLibrary();
  EXPECT_EQ(fs::file_size(HostDb()), size);
  EXPECT_EQ(ShellValue(HostDb(), "PRAGMA integrity_check;"), "ok");
}

TEST_F(LibraryMoveTest, ALibraryWithoutADatabaseOpensAtTheNewPlace) {
  CloseLibrary();
  fs::remove_all(device_.Host("Library"));
  OpenLibrary();  // its folder is gone: no database
  sink_.calls.clear();
  fs::create_directories(device_.Host("Back"));
  EXPECT_EQ(library_->MoveLibrary(u"\\Back\\metadata.db", Progress::Record, &progress_), 1);
  EXPECT_EQ(progress_.reports, (std::vector<int>{0, 10, 80, 90, 100}));
  EXPECT_EQ(library_->DatabasePath(), u"\\Back\\metadata.db");
  EXPECT_EQ(library_->ItemExists(u"\\x"), E_FAIL);
  EXPECT_EQ(Scalar(u"select value from config where name='schema';"), 23);
  EXPECT_EQ(sink_.calls.front(), "opened");
}

// ---- The moving window ----

struct Recorded {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Recorded> g_bar;

LRESULT CALLBACK BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_USER) g_bar.push_back({message, wParam, lParam});
  return DefWindowProcW(window, message, wParam, lParam);
}

class MovingWindowTest : public LibraryMoveTest {
 protected:
  void SetUp() override {
    LibraryMoveTest::SetUp();
    g_bar.clear();
    // The window system and the common controls do not have these classes yet: plain stand-ins,
    // the bar's recording what it is told.
    WNDCLASSW existing{};
    if (GetClassInfoW(nullptr, u"msctls_progress32", &existing)) GTEST_SKIP() << "the common controls have a bar now";
    if (!GetClassInfoW(nullptr, u"STATIC", &existing)) {
      WNDCLASSW plain{};
      plain.lpfnWndProc = DefWindowProcW;
      plain.lpszClassName = u"STATIC";
      ASSERT_NE(RegisterClassW(&plain), 0);
      registeredStatic_ = true;
    }
    WNDCLASSW bar{};
    bar.lpfnWndProc = BarProc;
    bar.lpszClassName = u"msctls_progress32";
    ASSERT_NE(RegisterClassW(&bar), 0);
    WNDCLASSW main{};
    main.lpfnWndProc = DefWindowProcW;
    main.lpszClassName = u"ZonbrelTestMain";
    ASSERT_NE(RegisterClassW(&main), 0);
    parent_ = CreateWindowExW(0, u"ZonbrelTestMain", u"", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override {
    if (parent_) DestroyWindow(parent_);
    for (const char16_t* name : {u"msctls_progress32", u"ZonbrelTestMain"}) UnregisterClassW(name, nullptr);
    if (registeredStatic_) UnregisterClassW(u"STATIC", nullptr);
    LibraryMoveTest::TearDown();
  }
  HWND parent_ = nullptr;
  bool registeredStatic_ = false;
};

TEST_F(MovingWindowTest, TheWindowSitsOverTheMainWindowAndItsBarFollowsTheMove) {
  HWND window = CreateMovingLibraryWindow(parent_);
  ASSERT_NE(window, nullptr);
  WCHAR caption[64] = {};
  GetWindowTextW(window, caption, 64);
  EXPECT_EQ(std::u16string(caption), u"Moving Library...");
  EXPECT_EQ(GetWindow(window, GW_OWNER), parent_);
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(IsWindowVisible(window));
  RECT r{};
  GetWindowRect(window, &r);
  const int width = GetSystemMetrics(SM_CXSCREEN) * 3 / 4;
  const int height = GetSystemMetrics(SM_CYCAPTION) * 2;
  EXPECT_EQ(r.right - r.left, width);
  EXPECT_EQ(r.bottom - r.top, height);
  EXPECT_EQ(r.left, (240 - width) / 2);
  EXPECT_EQ(r.top, 26 + (268 - height) / 4);
  HWND bar = GetWindow(window, GW_CHILD);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetWindowLongW(bar, GWL_ID), 1);
  RECT barRect{};
  GetClientRect(bar, &barRect);
  EXPECT_EQ(barRect.right, width);
  EXPECT_EQ(barRect.bottom, height);
  ASSERT_EQ(g_bar.size(), 1u);
  EXPECT_EQ(g_bar[0].message, UINT(WM_USER + 1)) << "the range";
  EXPECT_EQ(g_bar[0].lParam, MAKELPARAM(0, 100));

  g_bar.clear();
  fs::create_directories(device_.Host("Moved"));
  EXPECT_EQ(library_->MoveLibrary(u"\\Moved\\metadata.db", ReportMoveProgress, window), 1);
  std::vector<int> positions;
  for (const Recorded& m : g_bar) {
    EXPECT_EQ(m.message, UINT(WM_USER + 2));
    positions.push_back(static_cast<int>(m.wParam));
  }
  ASSERT_FALSE(positions.empty());
  EXPECT_EQ(positions.front(), 0);
  EXPECT_EQ(positions.back(), 100);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  DestroyWindow(window);
  ReportMoveProgress(50, window);  // a window that is gone is left alone
}

}  // namespace
