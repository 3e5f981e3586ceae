// Kernel services: handles, errors, files, time conversions, memory and store figures, debug output.
#pragma once
#include "windef.h"
#include "winerror.h"

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)

extern "C" {

DWORD GetLastError();
void SetLastError(DWORD error);
BOOL CloseHandle(HANDLE handle);

}  // extern "C"
