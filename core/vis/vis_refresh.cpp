// The refresh thread's loop and its three shared words.
#include "core/vis/vis_refresh.h"

namespace {

LONG volatile g_run = 0;
LONG volatile g_period = 1000;
LONG volatile g_owner = 0;
LONG volatile g_painted = 0;
RefreshFn volatile g_refresh = nullptr;
HANDLE g_thread = nullptr;

DWORD WINAPI RefreshThread(LPVOID) {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
  const LONG self = static_cast<LONG>(GetCurrentThreadId());
  InterlockedExchange(&g_owner, self);
  InterlockedExchange(&g_painted, 1);
  while (g_run && g_owner == self) {
    const DWORD t0 = GetTickCount();
    const int painted = static_cast<int>(InterlockedExchange(&g_painted, 0));
    if (RefreshFn refresh = g_refresh) refresh(painted);
    Sleep(RefreshSleepMs(static_cast<DWORD>(g_period), GetTickCount() - t0));
  }
  return 0;
}

}  // namespace

DWORD RefreshSleepMs(DWORD periodMs, DWORD elapsedMs) {
  DWORD sleep = periodMs / 2;
  if (elapsedMs < (periodMs * 2) / 3) {
    sleep = periodMs - elapsedMs;
    if (sleep > 10) sleep -= 5;
  }
  return sleep < 5 ? 5 : sleep;
}

void SetRefreshRun(WPARAM run, LPARAM periodMs, RefreshFn refresh) {
  InterlockedExchange(&g_run, run ? 1 : 0);
  if (periodMs > 0) InterlockedExchange(&g_period, static_cast<LONG>(periodMs));
  if (!run) return;
  g_refresh = refresh;
  HANDLE thread = CreateThread(nullptr, 0, RefreshThread, nullptr, 0, nullptr);
  if (!thread) return;
  if (g_thread) CloseHandle(g_thread);  // the older thread ends by itself at its next round
  g_thread = thread;
}

void MarkRefreshPainted() { InterlockedExchange(&g_painted, 1); }

void StopRefresh() {
  InterlockedExchange(&g_run, 0);
  if (!g_thread) return;
  WaitForSingleObject(g_thread, static_cast<DWORD>(g_period) + 1000);
  CloseHandle(g_thread);
  g_thread = nullptr;
}

DWORD RefreshThreadId() { return static_cast<DWORD>(g_owner); }
