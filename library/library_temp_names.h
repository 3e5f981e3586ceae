// Names of SQLite's temporary files: they all land in the system's temporary folder, under
// names that tell apart the storage volume (by the identity file in its root) and the folder
// that SQLite proposed them in.
#pragma once
#include <windows.h>

#include <string_view>

// Gives SQLite the prefix "kstrzb_" and NameTempFile, and deletes the files left over by an
// earlier run ("kstrzb_*.*" in the temporary folder).
void InstallTempFileNaming();

// SQLite's callback: rewrites the proposed path (UTF-8, a buffer of `size` bytes) in place.
void NameTempFile(char* path, int size);

// The identity of the storage volume whose root folder this is, read from "\WMPInfo.xml" or
// "\ZBInfo.xml" there; when neither has one, a new identity is made and written to "\ZBInfo.xml".
bool VolumeIdentity(std::u16string_view root, GUID* id);
