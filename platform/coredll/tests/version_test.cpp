// Version and platform queries answer from the device profile.
#include <gtest/gtest.h>
#include <windows.h>

#include "testing/test_device.h"

namespace {

class VersionTest : public ::testing::Test {
 protected:
  zb::testing::TestDevice device_;
};

struct ProfileCase {
  const char* name;
  const char* profile;
  DWORD major, minor;
  const char16_t* platform;
  RECT workArea;
};

TEST_F(VersionTest, AnswersFollowTheProfile) {
  const ProfileCase cases[] = {
      {"defaults", "", 5, 1, u"PocketPC", {0, 26, 240, 320}},
      {"old smartphone at double dpi", "[os]\nplatform = smartphone\nmajor = 4\nminor = 21\n[screen]\nwidth = 480\nheight = 640\ndpi = 192\n",
       4, 21, u"SmartPhone", {0, 52, 480, 640}},
  };
  for (const ProfileCase& c : cases) {
    device_.WriteProfile(c.profile);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExW(&info)) << c.name;
    EXPECT_EQ(info.dwMajorVersion, c.major) << c.name;
    EXPECT_EQ(info.dwMinorVersion, c.minor) << c.name;
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_CE)) << c.name;
    WCHAR text[100];
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof text, text, 0)) << c.name;
    EXPECT_EQ(std::u16string(text), c.platform) << c.name;
    RECT area{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) << c.name;
    EXPECT_EQ(area.left, c.workArea.left) << c.name;
    EXPECT_EQ(area.top, c.workArea.top) << c.name;
    EXPECT_EQ(area.right, c.workArea.right) << c.name;
    EXPECT_EQ(area.bottom, c.workArea.bottom) << c.name;
  }
}

TEST_F(VersionTest, OemInfoComesFromTheProfile) {
  device_.WriteProfile("[os]\noem = HP iPAQ h2200\n");
  WCHAR text[128];
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETOEMINFO, sizeof text, text, 0));
  EXPECT_EQ(std::u16string(text), u"HP iPAQ h2200");
}

TEST_F(VersionTest, BadArgumentsFailWithoutWritingPastTheBuffer) {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = 12;
  EXPECT_FALSE(GetVersionExW(&info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(GetVersionExW(nullptr));
  WCHAR small[4] = {u'z', u'z', u'z', u'z'};
  EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof small, small, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(small[0], u'z');
  EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, 100, nullptr, 0));
  EXPECT_FALSE(SystemParametersInfoW(9999, 0, small, 0));
}

}  // namespace
