// The file source's read-ahead thread: it keeps the ring filled in 16 KiB passes at the lowest
// priority while the decoder works. It stops by itself at its next test once Close asks it to;
// nothing ever ends it from outside in the middle of a pass.
#include <algorithm>

#include "core/interface/input_source.h"
#include "core/settings/settings.h"
#include "file_reader_state.h"

namespace {

constexpr int kPass = 16384;
constexpr DWORD kIdleWaitMs = 500;

struct Level {
  int buffered;
  bool atEnd;
  ULONGLONG filePos;
};

Level Prefetch(FileReaderState* s) {
  EnterCriticalSection(&s->lock);
  Level level{0, true, 0};
  if (!s->stopping) {
    FillAndHandOut(s, nullptr, 0, kPass);
    level = {s->Buffered(), s->atEnd, s->filePos};
  }
  LeaveCriticalSection(&s->lock);
  return level;
}

int Buffered(FileReaderState* s) {
  EnterCriticalSection(&s->lock);
  const int buffered = s->Buffered();
  LeaveCriticalSection(&s->lock);
  return buffered;
}

// Waits on the stop event; true when the thread is to end.
bool StopRequested(FileReaderState* s, DWORD ms) {
  return WaitForSingleObject(s->wakeEvent, ms) != WAIT_TIMEOUT || s->stopping;
}

DWORD WINAPI ReadAheadThread(LPVOID parameter) {
  auto* s = static_cast<FileReaderState*>(parameter);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
  const long long nearlyFile = std::max<long long>(static_cast<long long>(s->fileSize), kPass) - kPass;
  const long long nearlyRing = std::max(s->bufferSize, kPass) - kPass;
  ULONGLONG lastPos = s->filePos;
  while (!s->stopping) {
    const Level level = Prefetch(s);
    if (level.atEnd) break;
    if (level.buffered >= nearlyFile || level.buffered >= nearlyRing) {
      // A small ring full: done. A large one: wait until the decoder drains it.
      if (s->bufferSize < 524288) break;
      do {
        if (StopRequested(s, kIdleWaitMs)) return 0;
      } while (Buffered(s) > s->bufferSize / 8 + 65536);
      continue;
    }
    const bool advanced = level.filePos != lastPos;
    lastPos = level.filePos;
    if (StopRequested(s, advanced ? 1 : kIdleWaitMs)) break;
  }
  return 0;
}

}  // namespace

void StartReadAhead(InputSource* source, FileReaderState* state, DWORD openFlags) {
  const CSettings* settings = GetSettings();
  if (state->network || (openFlags & INPUT_OPEN_SINGLE_SHOT) || state->bufferSize <= 65536 || !settings ||
      settings->agressiveBuffers == 0)
    return;
  state->wakeEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!state->wakeEvent) return;
  state->thread = CreateThread(nullptr, 0, ReadAheadThread, state, 0, nullptr);
  if (!state->thread) {
    CloseHandle(state->wakeEvent);
    state->wakeEvent = nullptr;
  }
}

void StopReadAhead(FileReaderState* state) {
  if (!state->thread) return;
  state->stopping = true;
  EventModify(state->wakeEvent, EVENT_SET);
  WaitForSingleObject(state->thread, INFINITE);
  CloseHandle(state->thread);
  CloseHandle(state->wakeEvent);
  state->thread = nullptr;
  state->wakeEvent = nullptr;
}
