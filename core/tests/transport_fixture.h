// Test support for the transport: a fresh device with the program in a folder of its own (the
// bookmarks file lands there), a real window standing in for the main window (it turns message
// 1123 and the timers 4 and 17 into the core's end-of-stream calls, as the main window does, and
// has the extra words other processes read), the device clock taken over, and a core with the
// scripted decoder registered and the scripted hook in place.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include "core/bookmark_list.h"
#include "core/module_lists.h"
#include "core/player_core.h"
#include "core/settings.h"
#include "playlist.h"
#include "product_device.h"
#include "scripted_decoder.h"
#include "testing/env_scope.h"
#include "testing/test_clock.h"

namespace zb::testing {

inline LRESULT CALLBACK TransportWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CPlayerCore* core = PeekPlayerCore();
  if (message == WM_ZB_STREAM_ENDED) {
    if (core) core->OnStreamEnded(static_cast<int>(wParam));
    return 0;
  }
  if (message == WM_TIMER && (wParam == CORE_TIMER_PLAY_FAILED || wParam == CORE_TIMER_DRAIN)) {
    ScriptedHooks().seen.push_back("timer " + std::to_string(wParam));
    if (wParam == CORE_TIMER_PLAY_FAILED) KillTimer(window, wParam);
    if (core) core->OnStreamEnded(wParam == CORE_TIMER_PLAY_FAILED ? STREAM_ENDED_PLAY_FAILED : STREAM_ENDED_DRAIN_CHECK);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class TransportWindow {
 public:
  TransportWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = TransportWindowProc;
    windowClass.cbWndExtra = MAIN_WINDOW_EXTRA_BYTES;
    windowClass.lpszClassName = u"ZonbrelTransportTestWindow";
    RegisterClassW(&windowClass);  // once per device; a second time fails harmlessly
    window_ = CreateWindowExW(0, windowClass.lpszClassName, u"", 0, 0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
  }
  ~TransportWindow() {
    if (window_) DestroyWindow(window_);
  }
  TransportWindow(const TransportWindow&) = delete;
  TransportWindow& operator=(const TransportWindow&) = delete;
  HWND Handle() const { return window_; }

 private:
  HWND window_ = nullptr;
};

class TransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TakeOverClock(1000000);
    Script().Reset();
    ScriptedHooks().Reset();
    core_ = std::make_unique<CPlayerCore>(GetModuleHandleW(nullptr), window_.Handle(), nullptr);
    for (DecModule* record : {&ScriptedRecord(), &ScriptedWmaRecord()}) {
      RegisterDecModule(record, nullptr, window_.Handle());
      record->flags = DEC_FLAG_SEEKABLE;
    }
    core_->AddEventHook(ScriptedHook);
  }
  void TearDown() override {
    core_.reset();
    DestroySettings();
    ReleaseClock();
  }

  CPlaylist& Playlist() { return *core_->GetPlaylist(); }
  void AddItems(std::initializer_list<const char16_t*> paths) {
    for (const char16_t* path : paths) Playlist().InsertItem(path, -1, nullptr, -2);
  }
  // Moves the clock and runs the now-playing refresh, as the main window's timer 2 does.
  void PlayFor(uint64_t ms) {
    AdvanceClock(ms);
    core_->RefreshNowPlaying();
  }
  // Handles what the window's queue holds: posted end-of-stream messages and due timers.
  void Pump() {
    MSG msg;
    for (int n = 0; n < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) DispatchMessageW(&msg);
  }
  // Moves the clock past a timer's period and handles it.
  void RunTimers(uint64_t ms = 60) {
    AdvanceClock(ms);
    Pump();
  }
  // The events the hooks saw since the last call, without the user-interface commands (39) and
  // the item announcements (100) that accompany every opening.
  std::vector<std::string> TransportEvents() {
    std::vector<std::string> out;
    for (std::string& line : ScriptedHooks().TakeSeen())
      if (line.rfind("event 39 ", 0) != 0 && line != "event 100") out.push_back(std::move(line));
    return out;
  }
  LONG Resume(const char16_t* path) { return core_->GetBookmarkList()->GetPosition(path); }
  LONG WindowWord(int offset) { return GetWindowLongW(window_.Handle(), offset); }
  std::u16string Current() { return core_->GetCurrentPath(); }

  EnvScope audio_{"ZONBREL_AUDIO", "null"};
  ProductDevice device_;
  TransportWindow window_;
  std::unique_ptr<CPlayerCore> core_;
};

}  // namespace zb::testing
