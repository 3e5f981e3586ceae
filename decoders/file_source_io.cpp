// The file source's file calls on the platform, and the switch that lets tests put their own in.
#include "file_source_io.h"

#include <atomic>

namespace {

HANDLE OpenForRead(LPCWSTR path) {
  SetLastError(0);
  return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

BOOL ReadBytes(HANDLE file, void* buffer, DWORD bytes, DWORD* got) { return ReadFile(file, buffer, bytes, got, nullptr); }

BOOL SetPosition(HANDLE file, ULONGLONG offset) {
  LONG high = static_cast<LONG>(offset >> 32);
  SetLastError(0);
  const DWORD low = SetFilePointer(file, static_cast<LONG>(static_cast<DWORD>(offset)), &high, FILE_BEGIN);
  // 0xFFFFFFFF is also a valid low word of a position past 4 GiB: only the error tells.
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return FALSE;
  return (static_cast<ULONGLONG>(static_cast<DWORD>(high)) << 32 | low) == offset;
}

BOOL Size(HANDLE file, ULONGLONG* size) {
  DWORD high = 0;
  SetLastError(0);
  const DWORD low = GetFileSize(file, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return FALSE;
  *size = static_cast<ULONGLONG>(high) << 32 | low;
  return TRUE;
}

void CloseFile(HANDLE file) { CloseHandle(file); }

const FileSourceIo kPlatform = {OpenForRead, ReadBytes, SetPosition, Size, CloseFile, GetFileAttributesW, Sleep};
std::atomic<const FileSourceIo*> g_io{&kPlatform};

}  // namespace

const FileSourceIo& PlatformFileIo() { return kPlatform; }
void SetFileSourceIo(const FileSourceIo* io) { g_io = io ? io : &kPlatform; }
const FileSourceIo& FileIo() { return *g_io.load(); }
