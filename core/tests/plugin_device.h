// Test support for the player core: a fresh device whose program folder is the folder of
// fixture plug-in libraries the test suite builds, a fixture that gives each test a core in it
// with a real window as its main window (the settings object goes with the test), and the
// descriptions of registered records.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>

#include "core/modules/module_lists.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "fixtures/fixture_log.h"
#include "main_window_stand_in.h"
#include "testing/env_scope.h"
#include "testing/test_device.h"

namespace zb::testing {

class PluginFolderDevice : public TestDevice {
 public:
  explicit PluginFolderDevice(const std::string& profile = "") { SetProfile(profile); }
  // The profile's other sections; the program folder stays the fixtures' folder.
  void SetProfile(const std::string& profile) {
    WriteProfile(std::string("[program]\nhost = ") + CORE_PLUGIN_FOLDER + "\n" + profile);
  }
};

class CoreTest : public ::testing::Test {
 protected:
  void TearDown() override {
    core_.reset();
    DestroySettings();
    TakeFixtureLog();
    PumpStandIns();
  }
  CPlayerCore& MakeCore(IMediaLibraryLink* library = nullptr) {
    core_ = std::make_unique<CPlayerCore>(GetModuleHandleW(nullptr), MainWindow(), library);
    TakeFixtureLog();
    return *core_;
  }
  HWND MainWindow() const { return mainWindow_.Handle(); }

  EnvScope audio_{"ZONBREL_AUDIO", "null"};  // the core opens the sound device to read its volume
  PluginFolderDevice device_;
  StandInWindow mainWindow_;
  std::unique_ptr<CPlayerCore> core_;
};

// The descriptions of a list's records that begin with `prefix`, in list order.
template <class Record>
std::vector<std::u16string> Described(CModuleList<Record>& list, std::u16string_view prefix) {
  std::vector<std::u16string> out;
  for (Record* record : list.Snapshot())
    if (record->description && std::u16string_view(record->description).starts_with(prefix)) out.emplace_back(record->description);
  return out;
}

template <class Record>
Record* FindDescribed(CModuleList<Record>& list, std::u16string_view description) {
  for (Record* record : list.Snapshot())
    if (record->description && description == record->description) return record;
  return nullptr;
}

}  // namespace zb::testing
