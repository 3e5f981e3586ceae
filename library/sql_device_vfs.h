// SQLite's files on the device's storage. The library names its database by device path; this
// VFS resolves such names where the device keeps them, and names SQLite's own temporary files
// through the library's naming callback. Locking is SQLite's own, so other programs that open
// the same file see the library's exclusive lock.
#pragma once

// The VFS name to open the library's database with; registered on first use.
const char* DeviceVfsName();

// Names a temporary file: receives the proposed device path (UTF-8) in a buffer of `size`
// bytes and may rewrite it in place.
using TempFileNamer = void (*)(char* path, int size);
// The prefix of proposed temporary names and the callback that renames them (null: none).
void SetTempFileNaming(const char* prefix, TempFileNamer namer);
