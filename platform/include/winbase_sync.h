// Threads, synchronisation, waits, processes and time: the kernel calls of the device, with its
// own priority scale (0 time-critical .. 7 idle, 3 normal) and EventModify.
#pragma once
#include "windef.h"
#include "winerror.h"

struct _SECURITY_ATTRIBUTES;
typedef struct _SECURITY_ATTRIBUTES SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;
struct _STARTUPINFOW;
typedef struct _STARTUPINFOW STARTUPINFOW, *LPSTARTUPINFOW;

#define INFINITE 0xFFFFFFFF
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_ABANDONED 0x00000080L
#define WAIT_ABANDONED_0 0x00000080L
#define WAIT_FAILED 0xFFFFFFFF
#define MAXIMUM_WAIT_OBJECTS 64
#define STILL_ACTIVE 0x00000103L

#define CREATE_SUSPENDED 0x00000004

#define THREAD_PRIORITY_TIME_CRITICAL 0
#define THREAD_PRIORITY_HIGHEST 1
#define THREAD_PRIORITY_ABOVE_NORMAL 2
#define THREAD_PRIORITY_NORMAL 3
#define THREAD_PRIORITY_BELOW_NORMAL 4
#define THREAD_PRIORITY_LOWEST 5
#define THREAD_PRIORITY_ABOVE_IDLE 6
#define THREAD_PRIORITY_IDLE 7
#define THREAD_PRIORITY_ERROR_RETURN 0x7FFFFFFF

#define EVENT_PULSE 1
#define EVENT_RESET 2
#define EVENT_SET 3

#define SYNCHRONIZE 0x00100000L
#define PROCESS_ALL_ACCESS 0x001F0FFFL

typedef DWORD(WINAPI* PTHREAD_START_ROUTINE)(LPVOID parameter);
typedef PTHREAD_START_ROUTINE LPTHREAD_START_ROUTINE;

// Recursive. The host lock lives in Storage; the two leading fields mirror the owner's state.
typedef struct _CRITICAL_SECTION {
  DWORD LockCount;     // the owner's recursion depth
  HANDLE OwnerThread;  // the owner's thread id, 0 while free
  ULONG_PTR Storage[8];
} CRITICAL_SECTION, *PCRITICAL_SECTION, *LPCRITICAL_SECTION;

typedef struct _PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
} PROCESS_INFORMATION, *PPROCESS_INFORMATION, *LPPROCESS_INFORMATION;

extern "C" {

// Threads
HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, DWORD stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD flags, LPDWORD threadId);
DWORD ResumeThread(HANDLE thread);
void ExitThread(DWORD exitCode);
// Ends the thread at its next wait or sleep (a host cannot stop a thread mid-instruction safely).
BOOL TerminateThread(HANDLE thread, DWORD exitCode);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
HANDLE GetCurrentThread();
DWORD GetCurrentThreadId();
int GetThreadPriority(HANDLE thread);
BOOL SetThreadPriority(HANDLE thread, int priority);
void Sleep(DWORD milliseconds);

// Synchronisation
void InitializeCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCWSTR name);
BOOL EventModify(HANDLE event, DWORD func);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
BOOL PulseEvent(HANDLE event);
HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCWSTR name);
BOOL ReleaseMutex(HANDLE mutex);

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);

LONG InterlockedIncrement(LONG volatile* addend);
LONG InterlockedDecrement(LONG volatile* addend);
LONG InterlockedExchange(LONG volatile* target, LONG value);
LONG InterlockedCompareExchange(LONG volatile* destination, LONG exchange, LONG comparand);
// Sets *target to newValue when it holds oldValue; returns what it held before.
LONG InterlockedTestExchange(LONG volatile* target, LONG oldValue, LONG newValue);

// Processes
BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                    LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD flags, LPVOID environment,
                    LPCWSTR currentDirectory, LPSTARTUPINFOW startupInfo, LPPROCESS_INFORMATION information);
HANDLE OpenProcess(DWORD access, BOOL inheritHandle, DWORD processId);
HANDLE GetCurrentProcess();
DWORD GetCurrentProcessId();
// The arguments after the program name, as WinMain receives them.
LPWSTR GetCommandLineW();

// Time
DWORD GetTickCount();
void GetSystemTime(LPSYSTEMTIME time);
void GetLocalTime(LPSYSTEMTIME time);

}  // extern "C"
