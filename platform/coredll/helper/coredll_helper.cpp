// A second process for coredll's cross-process tests and benchmark. Each command does one thing
// on the device named by ZONBREL_DEVICE and answers through its exit code (0 = as expected).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

#include "device/text.h"

namespace {

std::u16string Wide(const char* s) { return zb::FromUtf8(s); }

int WaitEvent(char** argv) {  // NAME MS: 0 woken, 1 timed out
  HANDLE h = CreateEventW(nullptr, FALSE, FALSE, Wide(argv[0]).c_str());
  DWORD r = WaitForSingleObject(h, static_cast<DWORD>(std::atol(argv[1])));
  return r == WAIT_OBJECT_0 ? 0 : r == WAIT_TIMEOUT ? 1 : 2;
}

int CreateEvent(char** argv) {  // NAME: 0 when the name existed already, 1 when made anew
  HANDLE h = CreateEventW(nullptr, TRUE, FALSE, Wide(argv[0]).c_str());
  if (!h) return 2;
  return GetLastError() == ERROR_ALREADY_EXISTS ? 0 : 1;
}

int HoldMutexAndDie(char** argv) {  // NAME: owns the mutex, says so, and dies holding it
  HANDLE m = CreateMutexW(nullptr, TRUE, Wide(argv[0]).c_str());
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, (Wide(argv[0]) + u"/ready").c_str());
  if (!m || !ready) return 2;
  SetEvent(ready);
  Sleep(INFINITE);
  return 3;
}

int WriteQueue(int argc, char** argv) {  // NAME SIZE...: one record per size, byte i = i + size
  MSGQUEUEOPTIONS options{sizeof options, 0, 0, 256, FALSE};
  HANDLE q = CreateMsgQueue(Wide(argv[0]).c_str(), &options);
  if (!q) return 2;
  for (int i = 1; i < argc; ++i) {
    int size = std::atoi(argv[i]);
    std::vector<unsigned char> record(size);
    for (int b = 0; b < size; ++b) record[b] = static_cast<unsigned char>(b + size);
    if (!WriteMsgQueue(q, record.data(), size, 10000, 0)) return 3;
  }
  return 0;
}

int PulseEcho(char** argv) {  // PING PONG N: answers each ping with a pong, N times (benchmark)
  HANDLE ping = CreateEventW(nullptr, FALSE, FALSE, Wide(argv[0]).c_str());
  HANDLE pong = CreateEventW(nullptr, FALSE, FALSE, Wide(argv[1]).c_str());
  long n = std::atol(argv[2]);
  for (long i = 0; i < n; ++i) {
    if (WaitForSingleObject(ping, 20000) != WAIT_OBJECT_0) return 1;
    SetEvent(pong);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 100;
  std::string_view command = argv[1];
  if (command == "wait-event" && argc >= 4) return WaitEvent(argv + 2);
  if (command == "create-event") return CreateEvent(argv + 2);
  if (command == "hold-mutex") return HoldMutexAndDie(argv + 2);
  if (command == "write-queue") return WriteQueue(argc - 2, argv + 2);
  if (command == "pulse-echo" && argc >= 5) return PulseEcho(argv + 2);
  return 100;
}
