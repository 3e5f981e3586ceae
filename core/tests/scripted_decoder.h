// A decoder module record whose answers a test scripts: what Play returns for each path, each
// item's length, whether it can seek and whether it honours the start flags. Its position runs
// with the device clock while it plays and stands while paused, so the test clock moves the
// playback; asked to, it also writes PCM to the output the core bound, and pauses and closes
// it. It claims "*.FAKE" files, a twin record with the same slots "*.WMA" files, and both
// log every transport call they get.
// A scripted event hook stands beside it: it logs the events it is offered and takes those the
// test names, writing the test's word into the out buffer.
#pragma once
#include <windows.h>

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/interface/dec_module.h"
#include "core/player/player_core.h"
#include "core/interface/player_events.h"
#include "device/text.h"

namespace zb::testing {

struct DecoderScript {
  std::map<std::u16string, std::deque<int>> results;  // per path, taken in turn; 0 when used up
  std::map<std::u16string, int> lengths;              // ms; 10000 when not named
  bool honoursStart = true;                           // clears the start flags it performed
  int writeMs = 0;  // PCM (44.1 kHz stereo) written to the bound output at Play; 0: no output used
  std::vector<std::string> calls;

  std::u16string playing;
  bool paused = false;
  int base = 0;          // position when the clock last started counting
  DWORD startTick = 0;
  DWORD flagsSeen = 0;   // playFlags at the last Play
  int startSeen = 0;     // startPosition at the last Play

  void Reset() { *this = DecoderScript(); }
  int Length() const {
    auto found = lengths.find(playing);
    return found == lengths.end() ? 10000 : found->second;
  }
  int Position() const {
    const int running = paused || playing.empty() ? 0 : static_cast<int>(GetTickCount() - startTick);
    return std::min(base + running, Length());
  }
  std::vector<std::string> TakeCalls() { return std::exchange(calls, {}); }
};

// The record, registered by the tests that play through it.
inline DecModule& ScriptedRecord();

inline DecoderScript& Script() {
  static DecoderScript script;
  return script;
}

namespace scripted {

inline void Log(std::string line) { Script().calls.push_back(std::move(line)); }

inline int Play(LPCWSTR path) {
  DecoderScript& s = Script();
  const std::u16string key = path ? path : u"";
  Log("Play " + ToUtf8(key));
  int result = 0;
  auto found = s.results.find(key);
  if (found != s.results.end() && !found->second.empty()) {
    result = found->second.front();
    found->second.pop_front();
  }
  if (result < 0) return result;
  s.playing = key;
  s.paused = false;
  s.base = 0;
  s.startTick = GetTickCount();
  // The start flags are in whichever twin the core bound.
  CPlayerCore* core = PeekPlayerCore();
  DecModule& record = core && core->GetDecoder() ? *core->GetDecoder() : ScriptedRecord();
  s.flagsSeen = record.playFlags;
  s.startSeen = record.startPosition;
  if (s.honoursStart) {
    if (record.playFlags & DEC_PLAY_START_AT_POSITION) s.base = record.startPosition;
    if (record.playFlags & DEC_PLAY_START_PAUSED) s.paused = true;
    record.playFlags = 0;
  }
  if (s.writeMs > 0 && record.outModule) {
    OutputModule* out = record.outModule;
    if (out->Open(44100, 2, 16) < 0) return -1;
    std::vector<short> pcm(static_cast<size_t>(44100 * s.writeMs / 1000) * 2);
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<short>(i * 7);
    out->Write(pcm.data(), static_cast<int>(pcm.size() * sizeof(short)));
  }
  return 0;
}

inline OutputModule* BoundOutput() {
  CPlayerCore* core = PeekPlayerCore();
  return Script().writeMs > 0 && core && core->GetDecoder() ? core->GetDecoder()->outModule : nullptr;
}

inline void Pause() {
  Log("Pause");
  DecoderScript& s = Script();
  s.base = s.Position();
  s.paused = true;
  if (OutputModule* out = BoundOutput()) out->Pause(1);
}

inline void UnPause() {
  Log("UnPause");
  DecoderScript& s = Script();
  s.paused = false;
  s.startTick = GetTickCount();
  if (OutputModule* out = BoundOutput()) out->Pause(0);
}

inline int IsPaused() { return Script().paused ? 1 : 0; }

inline void Stop() {
  Log("Stop");
  DecoderScript& s = Script();
  if (OutputModule* out = BoundOutput()) out->Close();
  s.playing.clear();
  s.paused = false;
}

inline int GetLength() { return Script().playing.empty() ? 0 : Script().Length(); }
inline int GetOutputTime() { return Script().playing.empty() ? 0 : Script().Position(); }

inline void SetOutputTime(int ms) {
  Log("SetOutputTime " + std::to_string(ms));
  DecoderScript& s = Script();
  s.base = ms;
  s.startTick = GetTickCount();
}

inline void SetVolume(int volume) { Log("SetVolume " + std::to_string(volume)); }
inline void SetPan(int pan) { Log("SetPan " + std::to_string(pan)); }

inline void GetFileInfo(InputSource*, LPCWSTR path, LPWSTR title, int* length) {
  if (!path) return;
  auto found = Script().lengths.find(path);
  if (length) *length = found == Script().lengths.end() ? 10000 : found->second;
  if (title) wcscpy(title, (u"Title of " + std::u16string(path)).c_str());
}

}  // namespace scripted

inline DecModule& ScriptedRecord() {
  static DecModule record = {
    DEC_MODULE_VERSION, u"scripted decoder", nullptr, nullptr, u"*.FAKE", DEC_FLAG_SEEKABLE, nullptr, nullptr,
    nullptr, nullptr, nullptr, scripted::GetFileInfo, scripted::Play, scripted::Pause, scripted::UnPause,
    scripted::IsPaused, scripted::Stop, scripted::GetLength, scripted::GetOutputTime, scripted::SetOutputTime,
    scripted::SetVolume, scripted::SetPan, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {}, nullptr, 0, 0,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  return record;
}

inline DecModule& ScriptedWmaRecord() {
  static DecModule record = [] {
    DecModule twin = ScriptedRecord();
    twin.description = u"scripted wma decoder";
    twin.fileExtensions = u"*.WMA";
    return twin;
  }();
  return record;
}

// ---- The scripted event hook ----

struct HookScript {
  std::map<UINT, int> takes;     // event -> the answer (>= 0 takes it)
  std::map<UINT, DWORD> outs;    // event -> the word written to out when taken
  std::map<UINT, int> times;     // event -> how many more times it is taken (unlimited when absent)
  std::vector<std::string> seen;  // "event 3 in 0", "event 2 in 1 out"

  void Reset() { *this = HookScript(); }
  std::vector<std::string> TakeSeen() { return std::exchange(seen, {}); }
};

inline HookScript& ScriptedHooks() {
  static HookScript script;
  return script;
}

// Answers every query (so it is offered everything up to event 101); logs each event with its
// first data word when it has one of 4 bytes.
inline int ScriptedHook(UINT event, void* data, UINT size, void* out, UINT* outSize) {
  if (event & PLAYER_EVENT_QUERY) return 0;
  std::string line = "event " + std::to_string(event);
  // Event 100 carries the item pointer itself, not a word.
  if (data && size == sizeof(DWORD) && event != PLAYER_EVENT_ITEM_OPENED)
    line += " in " + std::to_string(*static_cast<const DWORD*>(data));
  if (out) line += " out";
  HookScript& h = ScriptedHooks();
  h.seen.push_back(line);
  auto taken = h.takes.find(event);
  if (taken == h.takes.end()) return -1;
  auto budget = h.times.find(event);
  if (budget != h.times.end() && budget->second-- <= 0) return -1;
  auto word = h.outs.find(event);
  if (word != h.outs.end() && out && outSize && *outSize >= sizeof(DWORD)) *static_cast<DWORD*>(out) = word->second;
  return taken->second;
}

}  // namespace zb::testing
