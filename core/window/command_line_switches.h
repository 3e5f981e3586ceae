// The switches of the player's command line: "/VOLUME=%d " in front, then "/WAKEUP" or
// "/SILENT" as the whole rest, or "/ENQUEUE" alone or before a path; anything else is a path
// to open.
#pragma once
#include <windows.h>

#include <string>

struct CommandLineRequest {
  enum Kind { kOpen, kEnqueue, kWakeUp, kSilent };
  bool hasVolume = false;
  int volume = 0;
  Kind kind = kOpen;
  std::u16string path;  // for kOpen and kEnqueue
};

CommandLineRequest ParseCommandLine(const std::u16string& text);
