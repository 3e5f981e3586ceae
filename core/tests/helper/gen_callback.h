// What the tests hand gen_callback.dll to send through the player callback from inside the
// library (command-hook code kDriveMessage, the request as argument); it writes the result.
#pragma once
#include <windows.h>

constexpr UINT kDriveMessage = 0x7001;

struct DriveRequest {
  UINT id;
  void* in;
  UINT inSize;
  void* out;
  UINT outSize;
  int result;
};
