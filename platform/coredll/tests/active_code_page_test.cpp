// The device's ANSI page comes from its profile, so narrow text on a device of another market
// converts with that market's page; a page the layer cannot convert falls back to 1252.
#include <gtest/gtest.h>
#include <windows.h>

#include "testing/test_device.h"

namespace {

struct AnsiCase {
  const char* profile;
  UINT acp;
  char byte;
  char16_t wide;
};

TEST(ActiveCodePage, FollowsTheProfile) {
  const AnsiCase cases[] = {
      {"", 1252, '\x80', u'\u20AC'},
      {"[system]\ncode page = 1251\n", 1251, '\xC0', u'\u0410'},
      {"[system]\ncode page = 1253\n", 1253, '\xC1', u'\u0391'},
      {"[system]\ncode page = 65001\n", 1252, '\x80', u'\u20AC'},  // UTF-8 is no ANSI page
      {"[system]\ncode page = 4242\n", 1252, '\x80', u'\u20AC'},   // unknown page
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.profile);
    zb::testing::TestDevice device;
    device.WriteProfile(c.profile);
    EXPECT_EQ(GetACP(), c.acp);
    WCHAR out[2] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, &c.byte, 1, out, 2), 1);
    EXPECT_EQ(out[0], c.wide);
  }
}

}  // namespace
