// Test support for gen_callback.dll: a device whose program folder holds that plug-in alone, a
// core started as the program starts it (plug-ins loaded and their Init run, the library open,
// the button slots mapped), and a restart of both the core and the settings.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "core/modules/module_lists.h"
#include "core/player/open_library.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "gen_callback.h"
#include "main_window_stand_in.h"
#include "testing/env_scope.h"
#include "testing/test_device.h"

namespace zb::testing {

class CallbackPluginDevice : public TestDevice {
 public:
  CallbackPluginDevice() { WriteProfile(std::string("[program]\nhost = ") + CALLBACK_PLUGIN_FOLDER + "\n"); }
};

class CallbackPluginTest : public ::testing::Test {
 protected:
  void TearDown() override {
    core_.reset();
    DestroySettings();
    PumpStandIns();
  }
  void Start() {
    core_ = std::make_unique<CPlayerCore>(GetModuleHandleW(nullptr), window_.Handle(), nullptr);
    OpenLibrary(core_.get());
  }
  // The program ends (the core saves the actions, the settings save the slots) and starts again.
  void Restart() {
    core_.reset();
    DestroySettings();
    Start();
  }
  static GenModule* Module(const char16_t* description) {
    for (GenModule* module : GenList().Snapshot())
      if (module->description && std::u16string_view(module->description) == description) return module;
    return nullptr;
  }
  // This run's command id of a named action of the plug-in; 0 when none.
  int CommandId(const char16_t* name) {
    for (int id = 33; id < 64; ++id) {
      WCHAR library[MAX_PATH] = {}, found[MAX_PATH] = {};
      core_->GetCommandInfo(id, library, found);
      if (std::u16string_view(found) == name) return id;
    }
    return 0;
  }

  EnvScope audio_{"ZONBREL_AUDIO", "null"};
  CallbackPluginDevice device_;
  StandInWindow window_;
  std::unique_ptr<CPlayerCore> core_;
};

}  // namespace zb::testing
