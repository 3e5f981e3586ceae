// The player's real main window in a test's own device, with a recording command target in
// place of the transport: the window procedure, the control message and WM_COPYDATA run as in
// the program; what they asked of the player is in target.calls.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/window/control_message.h"
#include "core/window/main_window.h"
#include "core/window/main_window_messages.h"
#include "core/window/main_window_protocol.h"
#include "core/window/main_window_state.h"
#include "core/player/player_core.h"
#include "core/window/program_state.h"
#include "core/settings/settings.h"
#include "product_device.h"
#include "recording_target.h"

namespace zb::testing {

// Dispatches what this thread's queue holds, WM_QUIT included (dropped).
inline void PumpMainThread() {
  MSG msg;
  for (int n = 0; n < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
    if (msg.message != WM_QUIT) DispatchMessageW(&msg);
  }
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Program() = ProgramState{};
    Program().instance = GetModuleHandleW(nullptr);
    MainWindow() = MainWindowState{};
    ResetDispatcherState();
    if (CSettings* settings = GetSettings()) settings->setAssociations = 1;  // asked before
    RegisterMainWindowClass(Program().instance);
    ASSERT_TRUE(CreateMainWindow(Program().instance, SW_SHOW));
    window = Program().mainWindow;
    PumpMainThread();  // the start-up continuation and the skin shown
    startCalls = target.Take();
  }
  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
    PumpMainThread();
    UnregisterClassW(kMainWindowClass, Program().instance);
    Program() = ProgramState{};
  }

  LRESULT Control(int command, int argument, LPARAM source) {
    return SendMessageW(window, WM_ZB_CONTROL, MAKELONG(command, argument), source);
  }
  LRESULT CopyData(ULONG_PTR code, const void* data, DWORD size, HWND sender = nullptr) {
    COPYDATASTRUCT record{code, size, const_cast<void*>(data)};
    return SendMessageW(window, WM_COPYDATA, reinterpret_cast<WPARAM>(sender), reinterpret_cast<LPARAM>(&record));
  }
  LRESULT CopyText(ULONG_PTR code, const std::u16string& text, HWND sender = nullptr) {
    return CopyData(code, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)), sender);
  }

  ProductDevice device;
  RecordingTarget target;
  HWND window = nullptr;
  std::vector<std::string> startCalls;  // what the window asked of the player while it started
};

}  // namespace zb::testing
