// The commands of zbdev, one function each: arguments after the command's name, output on
// stdout, an explanation on stderr and a non-zero exit when something fails (2 for bad usage).
#pragma once
#include <string>

namespace zb::zbdev {

// windows: every window of the device, top-level ones in z-order with their children below.
int Windows(int argc, char** argv);
// send|post HWND|CLASS MSG WPARAM LPARAM; copydata HWND|CLASS DWDATA TEXT.
int Send(int argc, char** argv);
int Post(int argc, char** argv);
int CopyData(int argc, char** argv);
// pulse NAME; wait NAME MS.
int Pulse(int argc, char** argv);
int Wait(int argc, char** argv);
// screenshot FILE.png: writes the device's screen, as the device's programs last drew it.
int Screenshot(int argc, char** argv);

// Prints "zbdev: ..." on stderr and answers 1.
int Fail(const std::string& why);

}  // namespace zb::zbdev
