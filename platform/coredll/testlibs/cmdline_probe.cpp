// A program for the process tests, built as "cmdline_probe.exe": writes the command line that
// WinMain received to the device's "\cmdline.txt" (UTF-8) and ends with exit code 3.
#include <fstream>
#include <windows.h>

#include "device/device.h"
#include "device/text.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
  std::ofstream(zb::device::Root() / "cmdline.txt", std::ios::binary) << zb::ToUtf8(commandLine);
  return 3;
}
