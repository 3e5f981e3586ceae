// The platform's error codes for what the host reports in errno, and the one-line way the file
// functions fail: set the error, return the failure value.
#pragma once
#include <windows.h>

namespace zb::files {

DWORD ErrorFromErrno(int error);

// SetLastError(code) and returns `result`, so a failing path reads "return Fail(CODE);".
template <class T = BOOL>
T Fail(DWORD code, T result = T(FALSE)) {
  SetLastError(code);
  return result;
}

}  // namespace zb::files
