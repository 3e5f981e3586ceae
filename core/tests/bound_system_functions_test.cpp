// Run-time-bound system functions: with the system libraries taken out of the device profile,
// each wrapper answers its fixed result (seen from a fresh process, where nothing was bound
// before); with them present, the wrapper passes arguments and results through.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "core/modules/bound_system_functions.h"
#include "product_device.h"

namespace zb::testing {
namespace {

std::map<std::string, std::string> RunProbe() {
  const ToolRun run = RunTool({BINDING_PROBE_PATH});
  std::map<std::string, std::string> results;
  if (run.status != 0) return results;
  std::istringstream lines(run.out);
  std::string name, value;
  while (lines >> name >> value) results[name] = value;
  return results;
}

struct Missing {
  const char* wrapper;
  const char* result;  // hex
};

TEST(BoundSystemFunctions, MissingLibrariesGiveTheListedResults) {
  ProductDevice device("[libraries]\ncoredll = absent\naygshell = absent\nphone = absent\n");
  const Missing cases[] = {
      {"BoundCreateMsgQueue", "0"},
      {"BoundReadMsgQueue", "0"},
      {"BoundCloseMsgQueue", "0"},
      {"BoundRequestDeviceNotifications", "0"},
      {"BoundStopDeviceNotifications", "0"},
      {"BoundSetSystemPowerState", "0"},
      {"BoundGetSystemPowerState", "0"},
      {"BoundRequestPowerNotifications", "0"},
      {"BoundStopPowerNotifications", "0"},
      {"BoundRegistryNotifyWindow", "80004001"},  // E_NOTIMPL
      {"BoundRegistryCloseNotification", "80004001"},
      {"BoundPhoneOpenCallLog", "80004005"},  // E_FAIL
      {"BoundPhoneSeekCallLog", "80004005"},
      {"BoundPhoneCloseCallLog", "80004005"},
      {"ResetShellIdleTimer", "0"},      // returns, having called nothing
      {"SetDevicePowerBound", "7e"},     // GetLastError: ERROR_MOD_NOT_FOUND
      {"GetDevicePowerBound", "7e"},
  };
  const auto results = RunProbe();
  ASSERT_EQ(results.size(), std::size(cases)) << "the probe did not run to its end";
  for (const Missing& c : cases) {
    auto found = results.find(c.wrapper);
    ASSERT_NE(found, results.end()) << c.wrapper;
    EXPECT_EQ(found->second, c.result) << c.wrapper;
  }
}

TEST(BoundSystemFunctions, APresentFunctionGetsTheArgumentsAndGivesItsResult) {
  ProductDevice device;
  MSGQUEUEOPTIONS reader = {sizeof reader, 0, 4, 16, TRUE};
  HANDLE read = BoundCreateMsgQueue(u"BoundQueue", &reader);
  ASSERT_NE(read, nullptr);
  MSGQUEUEOPTIONS writer = {sizeof writer, 0, 4, 16, FALSE};
  HANDLE write = CreateMsgQueue(u"BoundQueue", &writer);
  ASSERT_NE(write, nullptr);
  BYTE record[5] = {1, 2, 3, 4, 5};
  ASSERT_TRUE(WriteMsgQueue(write, record, sizeof record, 0, 0));

  BYTE buffer[16] = {};
  DWORD got = 0, flags = 0;
  EXPECT_TRUE(BoundReadMsgQueue(read, buffer, sizeof buffer, &got, 0, &flags));
  EXPECT_EQ(got, sizeof record);
  EXPECT_EQ(std::vector<BYTE>(buffer, buffer + got), std::vector<BYTE>(record, record + sizeof record));
  EXPECT_FALSE(BoundReadMsgQueue(read, buffer, sizeof buffer, &got, 0, &flags));  // empty now
  EXPECT_TRUE(BoundCloseMsgQueue(read));
  EXPECT_TRUE(CloseMsgQueue(write));
}

}  // namespace
}  // namespace zb::testing
