// The shell library is loaded at first use and kept for the process.
#include "skin/shell_calls.h"

namespace {

enum Ordinal : WORD { kCreateMenuBar = 34, kRecognizeGesture = 40, kInitDialog = 56, kSipPreference = 69 };

template <class Function>
Function Bound(WORD ordinal) {
  static HMODULE shell = LoadLibraryW(u"aygshell.dll");
  if (!shell) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddressW(shell, MAKEINTRESOURCEW(ordinal))));
}

}  // namespace

BOOL ShellInitDialog(SHINITDLGINFO* info) {
  auto f = Bound<BOOL (*)(SHINITDLGINFO*)>(kInitDialog);
  return f ? f(info) : FALSE;
}

BOOL ShellCreateMenuBar(SHMENUBARINFO* info) {
  auto f = Bound<BOOL (*)(SHMENUBARINFO*)>(kCreateMenuBar);
  return f ? f(info) : FALSE;
}

BOOL ShellSipPreference(HWND window, SIPSTATE state) {
  auto f = Bound<BOOL (*)(HWND, SIPSTATE)>(kSipPreference);
  return f ? f(window, state) : FALSE;
}

DWORD ShellRecognizeGesture(SHRGINFO* info) {
  auto f = Bound<DWORD (*)(SHRGINFO*)>(kRecognizeGesture);
  return f ? f(info) : 0;
}
