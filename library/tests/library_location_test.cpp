// Where the library lives and how the player's start-up opens it: the paths from the settings,
// the memory limit from the free memory, the old files removed, the listener registered, and
// the question asked when the library's folder is missing.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cstring>

#include "core/settings/settings.h"
#include "gwes/message_box.h"
#include "library_fixture.h"
#include "library_location.h"

namespace {

using namespace libtest;

void SetText(WCHAR* field, const char16_t* text) { std::memcpy(field, text, (std::char_traits<char16_t>::length(text) + 1) * 2); }

class LibraryLocationTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    program_ = device_.root().parent_path() / (device_.root().filename().string() + "-program");
    fs::create_directories(program_);
    fs::create_directories(own_);
    device_.WriteProfile("[program]\nhost = " + program_.string() + "\n[memory]\navailable physical = 6291456\n");
    settings_ = std::make_unique<CSettings>();
  }
  void TearDown() override {
    LibraryTest::TearDown();
    settings_.reset();
    fs::remove_all(program_);
  }
  HRESULT Open() {
    library_ = new CMediaLibrary(GetModuleHandleW(nullptr), &sink_);
    return ::OpenLibrary(library_, settings_.get(), nullptr, EventRecorder::Callback, reinterpret_cast<DWORD_PTR>(&events_));
  }

  fs::path program_;  // the binaries' folder, seen through the program folder
  fs::path own_ = device_.Host("Program Files/Zonbrel");  // the device's own program folder
  std::unique_ptr<CSettings> settings_;
  EventRecorder events_;
};

struct PathCase {
  const char16_t* setting;
  const char16_t* database;
};

TEST_F(LibraryLocationTest, TheDatabasePathComesFromTheSetting) {
  const PathCase cases[] = {
      {u"", u"\\Program Files\\Zonbrel\\metadata.db"},
      {u"\\Storage Card\\Library\\", u"\\Storage Card\\Library\\metadata.db"},
      {u"\\Storage Card\\Library", u"\\Storage Card\\Library\\metadata.db"},
  };
  for (const PathCase& c : cases) {
    SetText(settings_->metadataLocation, c.setting);
    EXPECT_EQ(GetLibraryDatabasePath(*settings_), c.database) << WideToUtf8(c.setting);
  }
  EXPECT_EQ(GetInfoCachePath(), u"\\Program Files\\Zonbrel\\infocache.dat");
  SetText(settings_->metadataLocation, u"\\Library\\");
  EXPECT_EQ(GetLibraryCachePath(*settings_), u"\\Library\\metadata2.dat");
  SetText(settings_->metadataLocation, u"\\Nowhere");
  EXPECT_EQ(GetLibraryCachePath(*settings_), u"\\Program Files\\Zonbrel\\metadata2.dat") << "its folder is missing";
}

TEST(LibraryMemoryLimit, FollowsTheFreeMemory) {
  struct Case {
    DWORD available;
    DWORD limit;
  };
  const Case cases[] = {
      {6u << 20, 3u << 20}, {3355443, 512u << 10}, {20u << 20, 8u << 20}, {11u << 20, 8u << 20},
      {(11u << 20) - 1, (8u << 20) - 1}, {0, 512u << 10},
  };
  for (const Case& c : cases) EXPECT_EQ(LibraryMemoryLimit(c.available), c.limit) << c.available;
}

TEST_F(LibraryLocationTest, StartUpClearsOldFilesAndOpensTheLibrary) {
  SetText(settings_->metadataLocation, u"\\Library\\");
  SetText(settings_->logfileLocation, u"\\Library\\library.log");
  for (const fs::path& old : {device_.Host("Library/metadata2.dat"), device_.Host("Library/metadata1.dat"), own_ / "infocache.dat"}) {
    std::ofstream(old) << "old";
  }
  EXPECT_EQ(Open(), S_OK);
  EXPECT_FALSE(fs::exists(device_.Host("Library/metadata2.dat")));
  EXPECT_FALSE(fs::exists(device_.Host("Library/metadata1.dat")));
  EXPECT_FALSE(fs::exists(own_ / "infocache.dat"));
  EXPECT_EQ(library_->DatabasePath(), u"\\Library\\metadata.db");
  EXPECT_TRUE(fs::exists(HostDb()));
  EXPECT_EQ(sqlite3_soft_heap_limit64(-1), 3 << 20) << "6 MB free";
  EXPECT_TRUE(fs::exists(device_.Host("Library/library.log")));
  // The core listens to tag changes, suspends and closes.
  for (DWORD event = 0; event < LIBEVENT_COUNT; ++event) library_->RaiseEvent(event, u"", nullptr);
  EXPECT_EQ(events_.Events(), (std::vector<DWORD>{LIBEVENT_TAGS_CHANGED, LIBEVENT_SUSPENDED, LIBEVENT_CLOSED}));
}

TEST_F(LibraryLocationTest, AMissingFolderAsksAndYesOpensInTheProgramFolder) {
  SetText(settings_->metadataLocation, u"\\Storage Card\\Gone\\");
  zb::wm::ClearShownMessageBoxes();
  zb::wm::ScriptMessageBox(u"Library", IDYES);
  EXPECT_EQ(Open(), S_OK);
  const std::vector<zb::wm::ShownMessageBox> shown = zb::wm::ShownMessageBoxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, u"Library");
  EXPECT_EQ(shown[0].type & 0xF, UINT(MB_YESNO));
  EXPECT_TRUE(shown[0].text.starts_with(u"The library cannot be opened from the specified folder (\\Storage Card\\Gone) "
                                         u"and will remain unavailable"))
      << WideToUtf8(shown[0].text);
  EXPECT_EQ(settings_->metadataLocation[0], 0) << "the setting is emptied";
  EXPECT_EQ(library_->DatabasePath(), u"\\Program Files\\Zonbrel\\metadata.db");
  EXPECT_TRUE(fs::exists(own_ / "metadata.db"));
}

TEST_F(LibraryLocationTest, AMissingFolderAndNoLeavesTheLibraryWithoutADatabase) {
  SetText(settings_->metadataLocation, u"\\Storage Card\\Gone\\");
  zb::wm::ScriptMessageBox(u"Library", IDNO);
  EXPECT_EQ(Open(), E_FAIL);
  EXPECT_EQ(std::u16string(settings_->metadataLocation), u"\\Storage Card\\Gone\\");
  MEDIALIBRARYSTATUS status{sizeof status, 9, 9, 9};
  library_->GetStatus(&status);
  EXPECT_EQ(status.open, 0u);
  EXPECT_FALSE(fs::exists(own_ / "metadata.db"));
}

}  // namespace
