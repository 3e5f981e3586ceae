// Store and memory figures from the device profile, a card's free space from its host folder,
// and debugger output in the device's debug log.
#include "files_fixture.h"

namespace zb::files::testing {
namespace {

class StoreInfoTest : public FilesTest {
 protected:
  void SetUp() override {
    device_.WriteProfile(
        "[memory]\ntotal physical = 1000\navailable physical = 250\ntotal virtual = 33554432\n"
        "available virtual = 1048576\n[store]\nsize = 50000000\nfree = 1234567\n");
  }
};

TEST_F(StoreInfoTest, StoreInformationIsTheProfiles) {
  STORE_INFORMATION si{};
  ASSERT_TRUE(GetStoreInformation(&si));
  EXPECT_EQ(si.dwStoreSize, 50000000u);
  EXPECT_EQ(si.dwFreeSize, 1234567u);
  EXPECT_FALSE(GetStoreInformation(nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(StoreInfoTest, MemoryStatusIsTheProfiles) {
  MEMORYSTATUS ms{};
  GlobalMemoryStatus(&ms);
  EXPECT_EQ(ms.dwLength, sizeof(MEMORYSTATUS));
  EXPECT_EQ(ms.dwTotalPhys, 1000u);
  EXPECT_EQ(ms.dwAvailPhys, 250u);
  EXPECT_EQ(ms.dwMemoryLoad, 75u);
  EXPECT_EQ(ms.dwTotalVirtual, 33554432u);
  EXPECT_EQ(ms.dwAvailVirtual, 1048576u);
  EXPECT_EQ(ms.dwTotalPageFile, 0u);
  GlobalMemoryStatus(nullptr);  // nothing to fill, nothing to crash
}

TEST_F(StoreInfoTest, DiskFreeSpaceOfTheStoreAndOfACard) {
  ULARGE_INTEGER free{}, total{}, totalFree{};
  for (const char16_t* path : {u"\\", u"\\Temp\\..", u"\\Program Files\\Zonbrel"}) {
    ASSERT_TRUE(GetDiskFreeSpaceExW(path, &free, &total, &totalFree)) << ToUtf8(path);
    EXPECT_EQ(total.QuadPart, 50000000u);
    EXPECT_EQ(free.QuadPart, 1234567u);
    EXPECT_EQ(totalFree.QuadPart, 1234567u);
  }
  ASSERT_TRUE(GetDiskFreeSpaceExW(nullptr, &free, nullptr, nullptr));
  EXPECT_EQ(free.QuadPart, 1234567u);

  fs::create_directories(device_.card() / "Music");
  ASSERT_TRUE(GetDiskFreeSpaceExW(u"\\Storage Card\\Music", &free, &total, &totalFree));
  fs::space_info host = fs::space(device_.card());
  EXPECT_EQ(total.QuadPart, host.capacity);
  EXPECT_LE(free.QuadPart, totalFree.QuadPart);
  EXPECT_GT(totalFree.QuadPart, 0u);
}

TEST_F(StoreInfoTest, DiskFreeSpaceOfAMissingFolder) {
  ULARGE_INTEGER free{};
  PoisonLastError();
  EXPECT_FALSE(GetDiskFreeSpaceExW(u"\\None", &free, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(GetDiskFreeSpaceExW(u"\\None\\Deeper", &free, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(FilesTest, DebugOutputGoesToTheDebugLogAsGiven) {
  OutputDebugStringW(u"NullOutInit\r\n");
  OutputDebugStringW(u"half a line, ");
  OutputDebugStringW(u"the rest: \u00DCber \U0001F3B5\r\n");
  OutputDebugStringW(nullptr);
  OutputDebugStringW(u"");
  EXPECT_EQ(Get(device::StateFolder() / "debug.log"),
            "NullOutInit\r\nhalf a line, the rest: \xC3\x9C" "ber \xF0\x9F\x8E\xB5\r\n");
}

}  // namespace
}  // namespace zb::files::testing
