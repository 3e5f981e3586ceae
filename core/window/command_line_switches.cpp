// Reading the player's command line switches (see command_line_switches.h). The volume switch
// is matched with its case, the others without.
#include "core/window/command_line_switches.h"

#include "core/window/program_state.h"

CommandLineRequest ParseCommandLine(const std::u16string& text) {
  CommandLineRequest request;
  std::u16string rest = text;
  if (rest.compare(0, 8, u"/VOLUME=") == 0 && swscanf(rest.c_str(), u"/VOLUME=%d ", &request.volume) == 1) {
    request.hasVolume = true;
    const size_t blank = rest.find(u' ');
    rest = blank == std::u16string::npos ? std::u16string() : rest.substr(blank + 1);
  }
  if (IsSwitch(rest.c_str(), u"/WAKEUP")) {
    request.kind = CommandLineRequest::kWakeUp;
  } else if (IsSwitch(rest.c_str(), u"/SILENT")) {
    request.kind = CommandLineRequest::kSilent;
  } else if (rest.size() >= 9 && _wcsnicmp(rest.c_str(), u"/ENQUEUE ", 9) == 0) {
    request.kind = CommandLineRequest::kEnqueue;
    request.path = rest.substr(9);
  } else {
    request.path = rest;
  }
  return request;
}
