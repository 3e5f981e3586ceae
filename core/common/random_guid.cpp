// MakeRandomGuid: time-based fields, a random word mixed in, and a clock sequence that starts
// at a random value and counts up for every GUID made by the process.
#include "core/common/random_guid.h"

#include <random>

namespace {

LONG volatile g_clockSequence = 0;

DWORD RandomWord() {
  thread_local std::mt19937 engine{std::random_device{}()};
  return static_cast<DWORD>(engine());
}

// The first GUID seeds the sequence; the compare-exchange and the increment are both
// interlocked, so two first calls on two threads still get two numbers.
DWORD NextClockSequence(DWORD seed) {
  InterlockedCompareExchange(&g_clockSequence, static_cast<LONG>(seed & 0x1FFF), 0);
  return static_cast<DWORD>(InterlockedIncrement(&g_clockSequence));
}

}  // namespace

HRESULT MakeRandomGuid(GUID* out) {
  if (!out) return E_POINTER;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const DWORD tick = GetTickCount();
  const DWORD r = RandomWord();
  const DWORD sequence = NextClockSequence(RandomWord());
  const DWORD v = now.dwHighDateTime + r;
  out->Data1 = now.dwLowDateTime - r;
  out->Data2 = static_cast<WORD>(v);
  out->Data3 = static_cast<WORD>(((v >> 16) & 0x0FFF) | 0x1000);
  out->Data4[0] = static_cast<BYTE>(sequence);
  out->Data4[1] = static_cast<BYTE>(((sequence >> 8) & 0x3F) | 0x80);
  for (int i = 0; i < 4; ++i) out->Data4[2 + i] = static_cast<BYTE>(r >> (8 * i));
  out->Data4[6] = static_cast<BYTE>(tick);
  out->Data4[7] = static_cast<BYTE>(tick >> 8);
  return S_OK;
}
