// The checksum that identifies a stored blob beside its size: CRC-32 with the reflected
// polynomial 0xEDB88320, starting at 0 and without the final inversion, so it can run on.
#pragma once
#include <windows.h>

DWORD BlobChecksum(const void* bytes, DWORD size, DWORD running = 0);
