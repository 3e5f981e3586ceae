// The commands of zbdev, one function each: arguments after the command's name, output on
// stdout, an explanation on stderr and a non-zero exit when something fails.
#pragma once

namespace zb::zbdev {

// screenshot FILE.png: writes the device's screen, as the device's programs last drew it.
int Screenshot(int argc, char** argv);

}  // namespace zb::zbdev
