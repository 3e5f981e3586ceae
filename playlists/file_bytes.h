// Whole binary files in memory: the PLT list and the recent list are small files read at once.
#pragma once
#include <windows.h>

#include <vector>

// The whole file; false when it cannot be opened or reads short.
bool ReadFileBytes(LPCWSTR path, std::vector<BYTE>& bytes);
