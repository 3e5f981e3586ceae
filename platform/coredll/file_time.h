// FILETIME values inside the layer: 64-bit counts of 100 ns since 1601-01-01 UTC, and their
// conversion to and from the host's timespec.
#pragma once
#include <cstdint>
#include <ctime>
#include <windows.h>

namespace zb::files {

// 100 ns units from 1601-01-01 to 1970-01-01.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
constexpr uint64_t kFileTimePerSecond = 10000000ull;

uint64_t FileTimeFromTimespec(const timespec& t);  // times before 1601 become 0
timespec TimespecFromFileTime(uint64_t fileTime);

inline uint64_t ToU64(const FILETIME& f) { return (uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime; }
inline FILETIME ToFILETIME(uint64_t v) { return FILETIME{DWORD(v), DWORD(v >> 32)}; }

}  // namespace zb::files
