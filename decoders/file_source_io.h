// The file calls of the file source, gathered in one table so that a test can count them or
// make a storage card vanish for a moment. The source calls nothing else for its file I/O.
#pragma once
#include <windows.h>

struct FileSourceIo {
  HANDLE (*Open)(LPCWSTR path);  // read access, shared read, existing files only
  BOOL (*Read)(HANDLE file, void* buffer, DWORD bytes, DWORD* got);
  BOOL (*SetPosition)(HANDLE file, ULONGLONG offset);  // from the start
  BOOL (*Size)(HANDLE file, ULONGLONG* size);
  void (*Close)(HANDLE file);
  DWORD (*Attributes)(LPCWSTR path);  // INVALID_FILE_ATTRIBUTES when it has none
  void (*Pause)(DWORD ms);            // the waits between retries
};

// The platform's calls.
const FileSourceIo& PlatformFileIo();
// The table in use; null puts the platform's back.
void SetFileSourceIo(const FileSourceIo* io);
const FileSourceIo& FileIo();
