// Test support for the transport: a fresh device with the program in a folder of its own (the
// bookmarks file lands there), the stand-in main window (which hands stream ends and the
// transport's timers to the core), the device clock taken over, and a core with the scripted
// decoder registered and the scripted hook in place.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include "core/settings/bookmark_list.h"
#include "core/modules/module_lists.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "main_window_stand_in.h"
#include "playlist.h"
#include "product_device.h"
#include "scripted_decoder.h"
#include "wma_decoder.h"
#include "testing/env_scope.h"
#include "testing/test_clock.h"

namespace zb::testing {

class TransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TakeOverClock(1000000);
    ReceivedMessages().clear();
    Script().Reset();
    ScriptedHooks().Reset();
    // The scripted WMA record stands in for the built-in WMA module: that one lists no extension.
    WmaDecoder.fileExtensions = u"";
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
    WmaDecoder.fileExtensions = wmaExtensions_;
  }

  const LPCWSTR wmaExtensions_ = WmaDecoder.fileExtensions;
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
  // The transport timers (4, 17) the main window got since the last call.
  std::vector<UINT_PTR> Timers() {
    std::vector<UINT_PTR> out;
    for (const WindowMessage& m : std::exchange(ReceivedMessages(), {}))
      if (m.message == WM_TIMER && (m.wParam == MAIN_TIMER_PLAY_FAILED || m.wParam == MAIN_TIMER_DRAIN)) out.push_back(m.wParam);
    return out;
  }
  LONG Resume(const char16_t* path) { return core_->GetBookmarkList()->GetPosition(path); }
  LONG WindowWord(int offset) { return GetWindowLongW(window_.Handle(), offset); }
  std::u16string Current() { return core_->GetCurrentPath(); }

  EnvScope audio_{"ZONBREL_AUDIO", "null"};
  ProductDevice device_;
  StandInWindow window_;
  std::unique_ptr<CPlayerCore> core_;
};

}  // namespace zb::testing
