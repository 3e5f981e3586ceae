// The program entry of the device's programs on this host: main hands over to WinMain with the
// program's instance and the command line after the program name, as the platform does.
#include <windows.h>

namespace {
constexpr int kShowNormal = 5;  // SW_SHOW
}

int main() { return WinMain(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), kShowNormal); }
