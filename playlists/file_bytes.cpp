// Reading a whole file through the platform's file calls.
#include "file_bytes.h"

bool ReadFileBytes(LPCWSTR path, std::vector<BYTE>& bytes) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  bool read = size != INVALID_FILE_SIZE && high == 0;
  if (read && size > 0) {
    bytes.resize(size);
    DWORD got = 0;
    read = ReadFile(file, bytes.data(), size, &got, nullptr) && got == size;
  }
  CloseHandle(file);
  return read;
}
