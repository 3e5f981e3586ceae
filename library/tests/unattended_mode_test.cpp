// The unattended-mode hook: which queries it answers, that it never claims a transport command,
// and that play and unpause enter the mode once while pause and stop leave it once.
#include <gtest/gtest.h>

#include "core/settings/settings.h"
#include "testing/test_device.h"
#include "unattended_mode.h"

namespace {

int Hook(UINT code) { return UnattendedModeHook(code, nullptr, 0, nullptr, 0); }

TEST(UnattendedMode, AnswersQueriesForTheTransportCodes) {
  struct Case {
    UINT code;
    int answer;
  };
  const Case cases[] = {{0x8000, S_OK}, {0x8003, S_OK}, {0x8004, S_OK}, {0x8005, S_OK},
                        {0x8006, S_OK}, {0x8001, E_FAIL}, {0x8002, E_FAIL}, {0x8007, E_FAIL}};
  for (const Case& c : cases) EXPECT_EQ(Hook(c.code), c.answer) << std::hex << c.code;
  EXPECT_FALSE(InUnattendedMode()) << "a query changes nothing";
}

TEST(UnattendedMode, PlayAndUnpauseEnterPauseAndStopLeave) {
  struct Step {
    UINT code;
    bool after;
  };
  const Step steps[] = {{4, true}, {6, true}, {5, false}, {3, false}, {6, true}, {1, true}, {3, false}};
  for (const Step& s : steps) {
    EXPECT_EQ(Hook(s.code), E_FAIL) << "never claims the command " << s.code;
    EXPECT_EQ(InUnattendedMode(), s.after) << "after " << s.code;
  }
}

TEST(UnattendedMode, IsWantedWhenTheButtonFlagSaysSo) {
  zb::testing::TestDevice device;
  CSettings settings;
  settings.buttonFlags = 2 | 1;
  EXPECT_TRUE(WantsUnattendedModeHook(settings));
  settings.buttonFlags = 1 | 4;
  EXPECT_FALSE(WantsUnattendedModeHook(settings));
}

}  // namespace
