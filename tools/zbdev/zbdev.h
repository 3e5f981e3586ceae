// zbdev's commands: each takes its arguments (after the command's name), prints what it has to
// say on stdout, and answers the exit status (0 done, 1 failed, with the reason on stderr).
#pragma once
#include <string>
#include <vector>

namespace zbdev {

using Args = std::vector<std::string>;

int ListWindows(const Args& args);
int Send(const Args& args);
int Post(const Args& args);
int CopyData(const Args& args);
int Pulse(const Args& args);
int Wait(const Args& args);

// Prints "zbdev: ..." on stderr and answers 1.
int Fail(const std::string& why);

}  // namespace zbdev
