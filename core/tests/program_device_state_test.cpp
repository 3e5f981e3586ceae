// What the player writes belongs to the device it runs on: with the program folder over the
// binaries' folder (the default profile), two device folders used one after the other keep
// their own bookmarks, and the binaries' folder is left byte for byte as it was. (Their
// libraries, which zblibrary opens, are kept apart in tools/zblibrary/tests.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "player_process.h"
#include "testing/env_scope.h"
#include "testing/folder_snapshot.h"
#include "testing/test_device.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

// Bytes of a UTF-16LE text, to find a path in the bookmark file.
std::string Utf16(const std::string& ascii) {
  std::string out;
  for (char c : ascii) out += {c, '\0'};
  return out;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Plays Music/NAME on the current device, bookmarks it while it plays, and ends the player.
void PlayAndBookmark(const TestDevice& device, const std::string& name) {
  fs::create_directories(device.Host("Music"));
  ASSERT_TRUE(MakeMp3(device.Host("Music/" + name), 3));
  PlayerProcess player({"\\Music\\" + name});
  HWND window = WaitForShownWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(AskUntil(window, 121, 1), 1) << "playing";
  SendMessageW(window, WM_COMMAND, 40094, 0);  // the menu's "bookmark this"
  EXPECT_EQ(player.Stop(), 0);
}

TEST(ProgramDeviceState, TwoDevicesOneAfterTheOtherKeepTheirOwnBookmarksAndTheBinariesStayAsTheyWere) {
  const fs::path binaries = fs::path(ZONBREL_PATH).parent_path();
  const FolderSnapshot before = TakeSnapshot(binaries);
  EnvScope display{"ZONBREL_DISPLAY", "none"};
  EnvScope audio{"ZONBREL_AUDIO", "null"};
  TestDevice first;  // its default profile: the program folder over the player's own folder
  PlayAndBookmark(first, "first.mp3");
  const fs::path firstFolder = first.Host("Program Files/Zonbrel");
  const std::string firstBookmarks = ReadAll(firstFolder / "bookmarks.dat");
  EXPECT_NE(firstBookmarks.find(Utf16("first.mp3")), std::string::npos);
  {
    TestDevice second;
    PlayAndBookmark(second, "second.mp3");
    const fs::path secondFolder = second.Host("Program Files/Zonbrel");
    const std::string secondBookmarks = ReadAll(secondFolder / "bookmarks.dat");
    EXPECT_NE(secondBookmarks.find(Utf16("second.mp3")), std::string::npos);
    EXPECT_EQ(secondBookmarks.find(Utf16("first.mp3")), std::string::npos) << "the first device's bookmark";
  }
  EXPECT_EQ(ReadAll(firstFolder / "bookmarks.dat"), firstBookmarks) << "the first device's own, untouched";
  EXPECT_EQ(Changes(before, TakeSnapshot(binaries)), std::vector<std::string>{});
}

}  // namespace
}  // namespace zb::testing
