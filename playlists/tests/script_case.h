// Scripted playlist cases: a script of playlist operations (the language of zbplaylist) run on a
// fresh device, and the trace of view messages, results and listings it must produce.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "playlist_script.h"
#include "testing/test_clock.h"
#include "testing/test_device.h"

struct ScriptCase {
  const char* name;
  const char* script;
  const char* expected;  // the whole output, command echoes included
};

// Runs each case in a device of its own and compares the output as text, so a failure shows
// the two traces side by side.
inline void ExpectScripts(std::initializer_list<ScriptCase> cases) {
  for (const ScriptCase& c : cases) {
    SCOPED_TRACE(c.name);
    zb::testing::TestDevice device;
    zb::testing::TakeOverClock(1000);
    CPlaylistScript script;
    ASSERT_TRUE(script.Run(c.script)) << script.Error();
    EXPECT_EQ(script.Output(), c.expected);
    zb::testing::ReleaseClock();
  }
}
